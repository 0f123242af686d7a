#pragma once

#include "model/LoadedModel.h"
#include "model/ModelFile.h"

#include <QTemporaryDir>

#include <random>

// Up to five relays over names that run into each other and into "p", with
// up to three outputs ВЫХ1.. .
ModelText randomModel(std::mt19937 &random);

// Random model number m, written to dir and loaded as a run loads it, with
// its element count.
void loadRandomModel(const QTemporaryDir &dir, std::mt19937 &random, int m, SharedModel &model, int &elements);
