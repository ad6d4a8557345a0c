// Command line: one optional file; more than one is an error.
#include "app/CommandLine.h"

#include <QCommandLineParser>

#include <gtest/gtest.h>

TEST(CommandLine, TakesAtMostOneFile)
{
    {
        QCommandLineParser parser;
        corvane::ConfigureCommandLine(parser);
        const auto request = corvane::ParseCommandLine(parser, {"corvane", "rain.wav"});
        EXPECT_EQ(request.fileName, "rain.wav");
        EXPECT_TRUE(request.error.isEmpty());
    }
    {
        QCommandLineParser parser;
        corvane::ConfigureCommandLine(parser);
        const auto request = corvane::ParseCommandLine(parser, {"corvane"});
        EXPECT_TRUE(request.fileName.isEmpty());
        EXPECT_TRUE(request.error.isEmpty());
    }
    {
        QCommandLineParser parser;
        corvane::ConfigureCommandLine(parser);
        const auto request = corvane::ParseCommandLine(parser, {"corvane", "a.wav", "b.wav"});
        EXPECT_FALSE(request.error.isEmpty());
    }
    const char* help[] = {"corvane", "--help"};
    const char* file[] = {"corvane", "rain.wav"};
    EXPECT_TRUE(corvane::AsksOnlyForInformation(2, const_cast<char**>(help)));
    EXPECT_FALSE(corvane::AsksOnlyForInformation(2, const_cast<char**>(file)));
}
