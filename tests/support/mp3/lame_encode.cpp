#include "support/mp3/lame_encode.h"

#include "support/mp3/run_program.h"

namespace snipwell::test {

std::filesystem::path lameEncode(const TempDir& work, const std::filesystem::path& wav,
                                 const std::string& name, const std::vector<std::string>& options) {
    std::filesystem::path mp3 = work.file(name + ".mp3");
    std::vector<std::string> command{"lame", "--quiet", "--noreplaygain"};
    command.insert(command.end(), options.begin(), options.end());
    command.push_back(wav.string());
    command.push_back(mp3.string());
    runProgramOrThrow(command);
    return mp3;
}

}  // namespace snipwell::test
