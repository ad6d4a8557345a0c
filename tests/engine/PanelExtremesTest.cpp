// Every module driven at the extremes the panel can reach: nothing non-finite comes out.
#include "engine/CClassicLowPass.h"
#include "engine/CLfo.h"
#include "engine/CNoiseGenerator.h"
#include "engine/CSvFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr unsigned kBlock = 882;

bool AllFinite(const std::vector<float>& block)
{
    for (float v : block)
        if (!std::isfinite(v))
            return false;
    return true;
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
            lfoB.SetFrequency(50.0f - hz + 0.005f);
            for (float depth : {-0.25f, 1.246f}) {
                for (float cutoff : {10.0f, 12460.0f}) {
                    for (float q : {0.0f, 1.0f}) {
                        generator.SetHoldModulation(modA.data(), kBlock);
                        generator.SetHoldModulationDepth(depth);
                        classic.SetFrequency(cutoff);
                        classic.SetQ(q);
                        classic.SetFrequencyModulation(modA.data(), kBlock);
                        classic.SetFrequencyModulationDepth(depth);
                        classic.SetQModulation(modB.data(), kBlock);
                        classic.SetQModulationDepth(depth);
                        sv.SetFrequency(cutoff);
                        sv.SetQ(q);
                        for (int b = 0; b < 40; ++b) {
                            lfoA.Render(modA.data(), kBlock);
                            lfoB.Render(modB.data(), kBlock);
                            ASSERT_TRUE(AllFinite(modA) && AllFinite(modB));
                            generator.SetType(b % 4);
                            generator.SetHold(b % 2 ? 1 : 124);
                            generator.Generate(noise.data(), kBlock);
                            ASSERT_TRUE(AllFinite(noise));
                            copy = noise;
                            classic.Process(copy.data(), kBlock);
                            ASSERT_TRUE(AllFinite(copy)) << shape << " " << hz << " " << depth << " " << cutoff << " " << q;
                            sv.SetType(b % 5);
                            sv.Process(noise.data(), kBlock);
                            ASSERT_TRUE(AllFinite(noise)) << shape << " " << hz << " " << depth << " " << cutoff << " " << q;
                        }
                    }
                }
            }
        }
    }
}

} // namespace
