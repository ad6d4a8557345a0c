// Command line: one optional file; more than one is an error; the sleep timer's length.
#include "app/CommandLine.h"
#include "app/SleepDuration.h"

#include <QCommandLineParser>

#include <gtest/gtest.h>

TEST(CommandLine, TakesAtMostOneFile)
{
    const auto parse = [](const QStringList& args) {
        QCommandLineParser parser;
        corvane::ConfigureCommandLine(parser);
        const auto request = corvane::ParseCommandLine(parser, args);
        return request.error.isEmpty() ? request.fileName : "error";
    };
    EXPECT_EQ(parse({"corvane", "rain.wav"}), "rain.wav");
    EXPECT_EQ(parse({"corvane"}), "");
    EXPECT_EQ(parse({"corvane", "a.wav", "b.wav"}), "error");
    EXPECT_EQ(parse({"corvane", "--sleep", "20s", "rain.wav"}), "rain.wav");
    const char* help[] = {"corvane", "--help"};
    const char* file[] = {"corvane", "rain.wav"};
    EXPECT_TRUE(corvane::AsksOnlyForInformation(2, const_cast<char**>(help)));
    EXPECT_FALSE(corvane::AsksOnlyForInformation(2, const_cast<char**>(file)));
}

TEST(CommandLine, SleepDurationsInSecondsOrWithUnitsUpToADay)
{
    const std::pair<const char*, double> table[] = {
        {"90", 90}, {"1.5", 1.5}, {"45m", 2700}, {"1h30m", 5400}, {"2m30s", 150}, {"1h0m1s", 3601}, {"0.5h", 1800},
        {"24h", 86400}, {"86400", 86400}, {"0.001", 0.001},
        // refused (0): empty, zero, negative, over a day, unknown unit, junk, units out of order
        {"", 0}, {"0", 0}, {"0h0m", 0}, {"-5m", 0}, {"24h1s", 0}, {"86401", 0}, {"1d", 0}, {"10x", 0}, {"1h30", 0},
        {"90s ", 0}, {" 90", 0}, {"30m1h", 0}, {"1h1h", 0}, {"m", 0}, {"1e3", 0}, {"1,5", 0}, {"nan", 0}, {"inf", 0}};
    for (const auto& [text, seconds] : table) {
        const std::optional<double> parsed = corvane::ParseSleepDuration(QString::fromLatin1(text));
        EXPECT_EQ(parsed.value_or(0), seconds) << '"' << text << '"';
    }

    // On the command line, in either form; a bad value is one line naming --sleep and the value.
    EXPECT_EQ(corvane::SleepFromArguments({"corvane", "--sleep=45m"}).seconds, 2700.0);
    EXPECT_EQ(corvane::SleepFromArguments({"corvane", "a.wav", "--sleep", "20s"}).seconds, 20.0);
    EXPECT_FALSE(corvane::SleepFromArguments({"corvane", "--", "--sleep=5"}).seconds);
    for (const QStringList& args : {QStringList{"corvane", "--sleep", "5x"}, QStringList{"corvane", "--sleep=5x"}}) {
        const QString error = corvane::SleepFromArguments(args).error;
        EXPECT_TRUE(error.contains("--sleep") && error.contains("'5x'") && !error.contains('\n'))
            << error.toStdString();
    }
    EXPECT_TRUE(corvane::SleepFromArguments({"corvane", "--sleep"}).error.contains("--sleep: missing"));
}
