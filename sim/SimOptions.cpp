#include "SimOptions.h"

#include <charconv>

std::string ParseSimOptions(const std::vector<std::string_view>& args, SimOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> value;
        if (const std::size_t eq = name.find('='); name.starts_with("--") && eq != name.npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        // The option's value: after '=' or in the next argument.
        auto take = [&]() -> std::optional<std::string_view> {
            if (!value && i + 1 < args.size()) {
                value = args[++i];
            }
            return value;
        };
        auto path = [&](std::optional<std::filesystem::path>& into) -> std::string {
            if (!take() || value->empty()) {
                return std::string(name) + " needs a file name";
            }
            into = std::filesystem::path(*value);
            return {};
        };
        auto flag = [&](bool& into) -> std::string {
            if (value) {
                return std::string(name) + " takes no value";
            }
            into = true;
            return {};
        };

        std::string why;
        if (name == "--image") {
            why = path(options.image);
        } else if (name == "--save") {
            why = path(options.save);
        } else if (name == "--log") {
            why = path(options.log);
        } else if (name == "--link") {
            why = path(options.link);
        } else if (name == "--pace") {
            why = flag(options.pace);
        } else if (name == "--once") {
            why = flag(options.once);
        } else if (name == "--control") {
            why = flag(options.control);
        } else if (name == "--help" || name == "-h") {
            why = flag(options.help);
        } else if (name == "--latency") {
            long ms = -1;
            const auto text = take().value_or("");
            const char* end = text.data() + text.size();
            const auto [ptr, ec] = std::from_chars(text.data(), end, ms);
            if (text.empty() || ec != std::errc() || ptr != end || ms < 0 || ms > 10'000) {
                why = "--latency needs milliseconds from 0 to 10000";
            } else {
                options.latency = std::chrono::milliseconds(ms);
            }
        } else if (name == "--fault") {
            why = take() ? AddFault(options.faults, *value) : "--fault needs a fault name";
        } else {
            why = "unknown argument \"" + std::string(args[i]) + "\"";
        }
        if (!why.empty()) {
            return why;
        }
    }
    return {};
}

std::string SimUsage() {
    return "Usage: kvradio-sim [OPTIONS]\n"
           "A simulated radio on a pseudo-terminal. Prints the port's device path, then\n"
           "answers read, write and test mode exchanges until SIGINT or SIGTERM.\n\n"
           "  --image FILE.sin   memory to start with (default: a new \"KV - T310X\" document)\n"
           "  --save FILE.sin    save the memory there after each completed write\n"
           "  --link PATH        a symbolic link to the port, removed on exit\n"
           "  --log FILE         every byte both ways, with sender and time in ms\n"
           "  --pace             send and receive at 9600-baud byte times\n"
           "  --latency MS       the radio's delay before each answer (default 5)\n"
           "  --once             exit after one completed read, write or test exchange\n"
           "  --control          take commands on standard input, one a line: \"off\" (the\n"
           "                     radio is switched off: it hears and answers nothing), \"on\",\n"
           "                     \"new [FAULTS]\" (another radio: the starting memory again,\n"
           "                     with these faults or none)\n"
           "  --fault NAME[=K]   misbehave (repeatable, or comma-separated):\n" +
           std::string(FaultHelp());
}
