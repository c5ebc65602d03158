// Starts a window program and watches the screen, as a person would, for the
// moment its window is first painted: a fast X client (plain xcb, no
// toolkit) that starts the program itself, so the clock starts at the exec,
// then looks every millisecond for the window by its title and at a
// rectangle of it. A rectangle counts as painted once its pixels are not
// all one colour (text or a picture has been drawn into it).
//
//   first_paint_probe [--close DELAY_MS] TITLE X Y W H [X2 Y2 W2 H2] -- PROGRAM [ARG...]
//
// Prints "mapped MS", "painted MS" and, with a second rectangle, "second MS"
// (milliseconds from the exec), then ends the program. Exits 1 when a moment
// is not seen within 60 s. With --close it closes the window DELAY_MS after
// the first paint, as the desktop's close button does, and prints "closed MS"
// and "ended MS": when the close was sent and when the program had exited.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Rect {
    int x, y, w, h;
};

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

std::string windowTitle(xcb_connection_t* x, xcb_window_t window) {
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            x, xcb_get_property(x, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
            nullptr),
        &std::free);
    if (!reply) return {};
    const int length = xcb_get_property_value_length(reply.get());
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<std::size_t>(length));
}

bool isViewable(xcb_connection_t* x, xcb_window_t window) {
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, window), nullptr),
        &std::free);
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

// A viewable window with the title, among the root's children and their
// children (a window manager puts a frame around the program's window).
std::optional<xcb_window_t> findWindow(xcb_connection_t* x, xcb_window_t parent,
                                       const std::string& title, int depth) {
    Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(x, xcb_query_tree(x, parent), nullptr),
                                       &std::free);
    if (!tree) return std::nullopt;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    for (int i = count - 1; i >= 0; --i) {
        if (windowTitle(x, children[i]) == title && isViewable(x, children[i])) return children[i];
        if (depth > 0) {
            if (auto found = findWindow(x, children[i], title, depth - 1)) return found;
        }
    }
    return std::nullopt;
}

// Looks at the screen, not at the window alone: a child window of another
// depth (the web panel draws through OpenGL) shows only there.
bool painted(xcb_connection_t* x, xcb_window_t root, xcb_window_t window, const Rect& r) {
    Reply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(x, xcb_translate_coordinates(x, window, root, 0, 0),
                                        nullptr),
        &std::free);
    if (!origin) return false;
    Reply<xcb_get_image_reply_t> image(
        xcb_get_image_reply(
            x,
            xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, root,
                          static_cast<std::int16_t>(origin->dst_x + r.x),
                          static_cast<std::int16_t>(origin->dst_y + r.y),
                          static_cast<std::uint16_t>(r.w), static_cast<std::uint16_t>(r.h), ~0u),
            nullptr),
        &std::free);
    if (!image) return false;
    const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
    const int words = xcb_get_image_data_length(image.get()) / 4;
    for (int i = 1; i < words; ++i) {
        if ((data[i] & 0xFFFFFFu) != (data[0] & 0xFFFFFFu)) return true;
    }
    return false;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int usage() {
    std::fprintf(stderr,
                 "usage: first_paint_probe TITLE X Y W H [X2 Y2 W2 H2] -- PROGRAM [ARG...]\n");
    return 2;
}

// The message a window manager sends when the person clicks the close button.
void askToClose(xcb_connection_t* x, xcb_window_t window) {
    const auto atom = [x](const char* name) {
        Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(
                x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
                nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    };
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(x, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(x);
}

struct ProbeArguments {
    std::optional<int> closeDelayMs;
    std::string title;
    Rect first{};
    std::optional<Rect> second;
    char** program = nullptr;  // the program and its arguments, ending in nullptr
};

Rect rectFrom(char** words) {
    return Rect{std::atoi(words[0]), std::atoi(words[1]), std::atoi(words[2]), std::atoi(words[3])};
}

std::optional<ProbeArguments> parseArguments(int argc, char** argv) {
    ProbeArguments arguments;
    if (argc > 2 && std::strcmp(argv[1], "--close") == 0) {
        arguments.closeDelayMs = std::atoi(argv[2]);
        argc -= 2;
        argv += 2;
    }
    int separator = 0;
    for (int i = 1; i < argc && separator == 0; ++i) {
        if (std::strcmp(argv[i], "--") == 0) separator = i;
    }
    if ((separator != 6 && separator != 10) || separator + 1 >= argc) return std::nullopt;
    arguments.title = argv[1];
    arguments.first = rectFrom(argv + 2);
    if (separator == 10) arguments.second = rectFrom(argv + 6);
    arguments.program = argv + separator + 1;
    return arguments;
}

// Checks `seen` every `pause` until it holds (true) or the deadline passes.
template <typename Seen>
bool waitUntil(Clock::time_point deadline, std::chrono::milliseconds pause, Seen seen) {
    while (!seen()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(pause);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<ProbeArguments> arguments = parseArguments(argc, argv);
    if (!arguments) return usage();

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "first_paint_probe: no X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(arguments->program[0], arguments->program);
        std::perror("first_paint_probe: exec");
        _exit(127);
    }
    const auto endChild = [&] {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    };
    const auto deadline = start + std::chrono::seconds(60);
    constexpr std::chrono::milliseconds tick{1};

    std::optional<xcb_window_t> window;
    if (!waitUntil(deadline, tick, [&] {
            return (window = findWindow(x, root, arguments->title, 1)).has_value();
        })) {
        endChild();
        return 1;
    }
    std::printf("mapped %.0f\n", msSince(start));
    if (!waitUntil(deadline, tick, [&] { return painted(x, root, *window, arguments->first); })) {
        endChild();
        return 1;
    }
    std::printf("painted %.0f\n", msSince(start));
    if (arguments->closeDelayMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(*arguments->closeDelayMs));
        askToClose(x, *window);
        std::printf("closed %.0f\n", msSince(start));
        if (!waitUntil(deadline, tick, [&] { return waitpid(child, nullptr, WNOHANG) != 0; })) {
            endChild();
            return 1;
        }
        std::printf("ended %.0f\n", msSince(start));
        xcb_disconnect(x);
        return 0;
    }
    if (arguments->second && !waitUntil(deadline, std::chrono::milliseconds(5), [&] {
            return painted(x, root, *window, *arguments->second);
        })) {
        endChild();
        return 1;
    }
    if (arguments->second) std::printf("second %.0f\n", msSince(start));
    std::fflush(stdout);
    endChild();
    xcb_disconnect(x);
    return 0;
}
