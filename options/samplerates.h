#pragma once

class QComboBox;

// The item lists of the encoder pages; every item carries its value as item data.
namespace SampleRates {
// The nine rates of the MP3 and OGG pages ("  8 000 Hz" .. "48 000 Hz").
void fillHz(QComboBox *combo);
// The WAV page's rate symbols ("FQ_6_KHZ" .. "FQ_96_KHZ").
void fillWavRates(QComboBox *combo);
// The WAV page's sample sizes ("BPS_2_BIT" .. "BPS_32_BIT"), data ten times the bit count.
void fillWavBits(QComboBox *combo);
} // namespace SampleRates
