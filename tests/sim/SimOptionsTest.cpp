// kvradio-sim's command line.
#include <gtest/gtest.h>

#include "SimOptions.h"

namespace {

std::string Parse(std::vector<std::string_view> args, SimOptions& options) {
    return ParseSimOptions(args, options);
}

}  // namespace

TEST(SimOptions, ValuesComeAfterAnEqualsSignOrAsTheNextArgument) {
    SimOptions options;
    ASSERT_EQ(
        Parse({"--image", "a.sin", "--save=b.sin", "--latency=0", "--pace", "--once", "--fault",
               "silent", "--fault=garbage=2,no-write-ack=7", "--link", "/tmp/l", "--log=x.log"},
              options),
        "");
    EXPECT_EQ(options.image, "a.sin");
    EXPECT_EQ(options.save, "b.sin");
    EXPECT_EQ(options.latency, std::chrono::milliseconds(0));
    EXPECT_TRUE(options.pace);
    EXPECT_TRUE(options.once);
    EXPECT_TRUE(options.faults.silent);
    EXPECT_EQ(options.faults.garbage, 2);
    EXPECT_EQ(options.faults.noWriteAck, std::set<int>{7});
    EXPECT_EQ(options.link, "/tmp/l");
    EXPECT_EQ(options.log, "x.log");

    SimOptions defaults;
    ASSERT_EQ(Parse({}, defaults), "");
    EXPECT_EQ(defaults.latency, std::chrono::milliseconds(5));
    EXPECT_FALSE(defaults.pace || defaults.once || defaults.image || defaults.save);
    EXPECT_EQ(defaults.faults, Faults{});
}

TEST(SimOptions, BadArgumentsAreRefusedWithAReason) {
    const std::vector<std::vector<std::string_view>> bad = {
        {"--latency"},       {"--latency", "-1"}, {"--latency", "5ms"}, {"--latency=20000"},
        {"--pace=yes"},      {"--image"},         {"--save="},          {"--fault"},
        {"--fault", "loud"}, {"--frobnicate"},    {"extra.sin"},
    };
    for (const auto& args : bad) {
        SimOptions options;
        EXPECT_NE(Parse(args, options), "") << args[0] << " " << (args.size() > 1 ? args[1] : "");
    }
}
