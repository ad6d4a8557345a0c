// The sound-file reader against mutated files, seeded from the ready sounds: it never crashes
// or hangs, every refusal says why and changes nothing, and whatever it accepts it writes back
// in a form it reads the same way.
#include "app/export/CSoundFile.h"
#include "app/export/CSoundVocabulary.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<QByteArray> Seeds()
{
    std::vector<QByteArray> seeds = {
        "# by hand\n[Sound]\nformat=1\nnoise=pink\nhold=12\nfilter=sv-lowpass\ncutoff=800\nq=0.7\ninput=filter\n"
        "volume=-600\nmute=false\npan=-0.25\npitch=0.5\nmode=loop\nlfo1=sine:0.1\nlfo2=random:3\nlfo3=pulse:0.005\n"
        "route.cutoff=lfo1:0.5\nroute.pan=lfo2:-0.25\nroute.q=none:1.246\n[Other]\nx=1\n",
    };
    const QDir sounds(QStringLiteral(CORVANE_SOUNDS_DIR));
    for (const QString& name : sounds.entryList({QStringLiteral("*.corvane")}, QDir::Files)) {
        QFile file(sounds.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            seeds.push_back(file.readAll());
    }
    return seeds;
}

// Pieces a mutation splices in: the grammar's own tokens, where the interesting edges are.
QByteArray Token(std::mt19937& rng)
{
    static const char* const kTokens[] = {"[Sound]", "[", "]", "=", ":", "#", ";", "\n", "\r\n", "format=2",
                                          "lfo", "none", "-", "1e308", "nan", "-0", "0x10", " ", "\t", "\xff",
                                          "\xEF\xBB\xBF", "\xc3\xa9", "4294967296", "route.", "true"};
    if (rng() % 3 == 0) {
        const auto& keys = CSoundVocabulary::Keys();
        return keys[rng() % keys.size()].name.toUtf8() + "=";
    }
    return kTokens[rng() % std::size(kTokens)];
}

QByteArray Mutate(QByteArray data, const std::vector<QByteArray>& seeds, std::mt19937& rng)
{
    const int steps = 1 + static_cast<int>(rng() % 4);
    for (int s = 0; s < steps; ++s) {
        const auto at = [&] { return data.isEmpty() ? 0 : static_cast<qsizetype>(rng() % static_cast<unsigned>(data.size())); };
        switch (rng() % 6) {
        case 0: if (!data.isEmpty()) data[at()] = static_cast<char>(rng()); break;
        case 1: data.insert(at(), Token(rng)); break;
        case 2: data.remove(at(), 1 + static_cast<qsizetype>(rng() % 8)); break;
        case 3: data.truncate(at()); break;
        case 4: { // a piece of another seed
            const QByteArray& other = seeds[rng() % seeds.size()];
            const auto from = static_cast<qsizetype>(rng() % static_cast<unsigned>(other.size()));
            data.insert(at(), other.mid(from, 1 + static_cast<qsizetype>(rng() % 40)));
            break;
        }
        default: data.insert(at(), QByteArray(1, static_cast<char>(rng() % 32))); break;
        }
    }
    return data;
}

} // namespace

TEST(SoundFileFuzz, MutatedFilesAreReadOrRefusedWithAReason)
{
    const std::vector<QByteArray> seeds = Seeds();
    EXPECT_GT(seeds.size(), 10u); // the ready sounds (which open cleanly: see the ready sounds' test)
    std::mt19937 rng(11);
    constexpr int kInputs = 100000;
    int accepted = 0;
    CExportOptions before; // what a refusal must leave as it was
    before.hold = 42;
    for (int i = 0; i < kInputs; ++i) {
        const QByteArray input = Mutate(seeds[rng() % seeds.size()], seeds, rng);
        CExportOptions sound = before;
        QStringList warnings;
        QString error;
        if (!CSoundFile::Parse(input, "f.corvane", &sound, &warnings, &error)) {
            ASSERT_TRUE(error.startsWith("f.corvane") && error.size() > 20) << input.toStdString();
            ASSERT_EQ(CSoundFile::Text(sound), CSoundFile::Text(before)) << input.toStdString();
            continue;
        }
        ++accepted;
        const QByteArray text = CSoundFile::Text(sound);
        CExportOptions again;
        ASSERT_TRUE(CSoundFile::Parse(text, "g.corvane", &again, nullptr, &error)) << error.toStdString();
        ASSERT_EQ(CSoundFile::Text(again), text) << input.toStdString();
    }
    // Both ways must be exercised, or the mutations miss the reader.
    EXPECT_GT(accepted, kInputs / 20);
    EXPECT_LT(accepted, kInputs - kInputs / 20);
}
