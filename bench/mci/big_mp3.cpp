#include "big_mp3.h"

#include <unistd.h>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/mp3/mp3_fixtures.h"

namespace snipwell::bench {

std::filesystem::path bigHeaderlessMp3() {
    constexpr std::uintmax_t targetBytes = 200u * 1000u * 1000u;
    auto path = snipwell::test::Mp3Fixtures::cacheFolder() / "big-headerless-200mb.mp3";
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) >= targetBytes)
        return path;

    const auto readAll = [](const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>());
    };
    const auto cbr = readAll(snipwell::test::Mp3Fixtures::file(snipwell::test::Mp3Kind::cbrPlain));
    const auto vbr = readAll(snipwell::test::Mp3Fixtures::file(snipwell::test::Mp3Kind::vbrPlain));

    const auto partial = path.string() + ".part" + std::to_string(::getpid());
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        std::uintmax_t written = 0;
        while (written < targetBytes) {
            out.write(cbr.data(), static_cast<std::streamsize>(cbr.size()));
            out.write(vbr.data(), static_cast<std::streamsize>(vbr.size()));
            written += cbr.size() + vbr.size();
        }
    }
    std::filesystem::rename(partial, path);
    return path;
}

}  // namespace snipwell::bench
