#include "mci/engine_process.h"

namespace snipwell::mci {
namespace {

// An answer line is a code and a short reply; anything longer is no answer.
constexpr std::size_t maxAnswerBytes = 4096;

// How long a closed input has to end the engine before it is killed.
constexpr std::chrono::milliseconds endGrace{1000};

EngineProcess::Failure failureOf(HelperProcess::Stop stop) {
    return stop == HelperProcess::Stop::timedOut ? EngineProcess::Failure::timedOut
                                                 : EngineProcess::Failure::stopped;
}

}  // namespace

std::unique_ptr<EngineProcess> EngineProcess::start(const std::string& program) {
    // Commands arrive on standard input; what the decoder prints on standard
    // error reaches ours.
    auto started = HelperProcess::start(HelperLaunch{program, {}, true, true});
    auto* process = std::get_if<std::unique_ptr<HelperProcess>>(&started);
    if (process == nullptr) return nullptr;
    return std::unique_ptr<EngineProcess>(new EngineProcess(std::move(*process)));
}

EngineProcess::~EngineProcess() { process_->finish(endGrace); }

EngineProcess::Answer EngineProcess::exchange(std::string_view command,
                                              std::chrono::milliseconds limit) {
    const auto deadline = HelperClock::now() + limit;
    if (const auto stop = process_->sendLine(command, deadline)) return failureOf(*stop);
    return receiveLine(deadline);
}

EngineProcess::Answer EngineProcess::awaitHello(std::chrono::milliseconds limit) {
    return receiveLine(HelperClock::now() + limit);
}

EngineProcess::Answer EngineProcess::receiveLine(HelperClock::time_point deadline) {
    auto line = process_->receiveLine(deadline, maxAnswerBytes);
    if (const auto* stop = std::get_if<HelperProcess::Stop>(&line)) return failureOf(*stop);
    return std::move(std::get<std::string>(line));
}

}  // namespace snipwell::mci
