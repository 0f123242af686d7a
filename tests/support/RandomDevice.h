#pragma once

#include "model/LoadedModel.h"
#include "model/ModelFile.h"
#include "model/TimingFile.h"

#include <QTemporaryDir>

#include <random>

// One to three terms of one to three names or "p", some negated.
QString randomFunction(std::mt19937 &random, const QStringList &names);

// Two to maxRelays (at most six) relays over names that run into each other
// and into "p", with up to three outputs ВЫХ1.. .
ModelText randomModel(std::mt19937 &random, int maxRelays = 5);

// Random model number m, written to dir and loaded as a run loads it, with
// its element count.
void loadRandomModel(const QTemporaryDir &dir, std::mt19937 &random, int m, SharedModel &model, int &elements);

// Delays up to 0.6 s in hundredths, with the odd ones a run rounds: zero,
// 0.005, 0.055, 0.105; runLength steps.
TimingValues randomTiming(std::mt19937 &random, int elements, int runLength);
