// Feeds arbitrary bytes to the command parser, and checks what every
// accepted command must satisfy: it holds no control byte and fits the
// length limit, its alias is well formed, and its positions are in range.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "mci/command_limits.h"
#include "mci/command_parser.h"

namespace {

using namespace snipwell::mci;

void check(bool condition) {
    if (!condition) std::abort();
}

void checkAlias(const std::string& alias) {
    check(!alias.empty() && alias.size() <= 64 && alias != "all");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParseResult result = parseCommand(text);
    if (std::holds_alternative<MciError>(result)) return 0;

    check(size <= maxCommandBytes);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        check(byte >= 0x20 || c == '\t');
        check(byte != 0x7f);
    }
    std::visit(
        [](const auto& command) {
            using Type = std::decay_t<decltype(command)>;
            if constexpr (std::is_same_v<Type, OpenCommand>) {
                checkAlias(command.alias);
            } else if constexpr (std::is_same_v<Type, PlayCommand>) {
                checkAlias(command.alias);
                check(command.fromMs >= 0);
            } else if constexpr (std::is_same_v<Type, SeekCommand>) {
                checkAlias(command.alias);
                check(command.toMs >= 0);
            } else if constexpr (!std::is_same_v<Type, CloseAllCommand>) {
                checkAlias(command.alias);
            }
        },
        std::get<Command>(result));
    return 0;
}
