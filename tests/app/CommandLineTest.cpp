// Command line: one optional file; more than one is an error.
#include "app/CommandLine.h"

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
    const char* help[] = {"corvane", "--help"};
    const char* file[] = {"corvane", "rain.wav"};
    EXPECT_TRUE(corvane::AsksOnlyForInformation(2, const_cast<char**>(help)));
    EXPECT_FALSE(corvane::AsksOnlyForInformation(2, const_cast<char**>(file)));
}
