// Every module driven at the extremes the panel can reach: nothing non-finite comes out.
#include "engine/CClassicLowPass.h"
#include "engine/CLfo.h"
#include "engine/CNoiseGenerator.h"
#include "engine/CSvFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr unsigned kBlock = 882;

bool AllFinite(const std::vector<float>& block)
{
    return std::all_of(block.begin(), block.end(), [](float v) { return std::isfinite(v); });
}

TEST(PanelExtremes, NoModuleLetsANonFiniteValueOut)
{
    std::vector<std::unique_ptr<CWaveTable>> owned;
    std::vector<CWaveTable*> tables;
    for (unsigned k = 0; k < 5; ++k) {
        owned.push_back(std::make_unique<CWaveTable>());
        owned.back()->Allocate(4096);
        owned.back()->SetShape(k);
        tables.push_back(owned.back().get());
    }
    CNoiseGenerator generator;
    CClassicLowPass classic;
    CSvFilter sv;
    std::vector<float> modA(kBlock), modB(kBlock), noise(kBlock), copy(kBlock);
    for (unsigned shape = 0; shape < 5; ++shape) {
        for (float hz : {0.005f, 50.0f}) {
            CLfo lfoA, lfoB;
            for (CLfo* lfo : {&lfoA, &lfoB}) {
                lfo->SetTables(&tables);
                lfo->Select(shape);
            }
            lfoA.SetFrequency(hz);
            lfoB.SetFrequency(50.005f - hz);
            for (float depth : {-0.25f, 1.246f}) {
                for (float cutoff : {10.0f, 12460.0f}) {
                    for (float q : {0.0f, 1.0f}) {
                        generator.SetHoldModulation(modA.data(), kBlock);
                        generator.SetHoldModulationDepth(depth);
                        classic.SetFrequencyModulation(modA.data(), kBlock);
                        classic.SetFrequencyModulationDepth(depth);
                        classic.SetQModulation(modB.data(), kBlock);
                        classic.SetQModulationDepth(depth);
                        classic.SetFrequency(cutoff);
                        classic.SetQ(q);
                        sv.SetFrequency(cutoff);
                        sv.SetQ(q);
                        for (int b = 0; b < 40; ++b) {
                            lfoA.Render(modA.data(), kBlock);
                            lfoB.Render(modB.data(), kBlock);
                            for (float v : modA) // the sawtooth reaches about -1.94
                                ASSERT_TRUE(v >= -1.95f && v <= 1.0f) << shape << " " << hz << " " << v;
                            generator.SetType(b % 4);
                            generator.SetHold(b % 2 ? 1 : 124);
                            generator.Generate(noise.data(), kBlock);
                            ASSERT_TRUE(AllFinite(noise)); // the filters would hide it
                            copy = noise;
                            classic.Process(copy.data(), kBlock);
                            sv.SetType(b % 5);
                            sv.Process(noise.data(), kBlock);
                            ASSERT_TRUE(AllFinite(copy) && AllFinite(noise)) << shape << " " << hz << " " << depth << " " << cutoff << " " << q;
                        }
                    }
                }
            }
        }
    }
}

} // namespace
