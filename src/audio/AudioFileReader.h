// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Room impulse responses recorded as audio files: ".wav", ".flac", ".aif" and
// ".aiff", read through libsndfile into a measurement.

#include "signal/MData.h"

#include <string>

namespace dazo {

// Replaces data by the audio file at path: the samples of the first channel as
// the file scales them (full scale 1.0), the sample interval 1000 / rate ms,
// the title tag (or the bare file name) as Title and the format as Comment.
// A file libsndfile cannot read, or one without samples, raises
// "ungültiges Dateiformat".
void ReadAudioFile(TCalcData& data, const std::string& path);

// Lets TCalcData::LoadFromFile read the audio formats. Called once at start-up
// by every program that loads measurements; calling it again changes nothing.
void RegisterAudioReaders();

} // namespace dazo
