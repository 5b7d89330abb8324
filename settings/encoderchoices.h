#pragma once

#include <array>

// The fixed choice lists of the encoder pages: the text each list shows (and, for the WAV
// page, stores) and the value it stands for. The options dialog fills its lists from these and
// the command-line converter reads the stored settings through them, so both agree.
namespace EncoderChoices {

struct Choice
{
    const char *text;
    int value;
};

// MP3 and OGG sample rates in Hz; the texts keep their blanks.
inline constexpr std::array<Choice, 9> SampleRates{{{"  8 000 Hz", 8000},
                                                    {"11 025 Hz", 11025},
                                                    {"12 000 Hz ", 12000},
                                                    {"16 000 Hz", 16000},
                                                    {"22 050 Hz", 22050},
                                                    {"24 000 Hz", 24000},
                                                    {"32 000 Hz", 32000},
                                                    {"44 100 Hz", 44100},
                                                    {"48 000 Hz", 48000}}};

// WAV sample rates in Hz.
inline constexpr std::array<Choice, 12> WavRates{{{"FQ_6_KHZ", 6000},
                                                  {"FQ_8_KHZ", 8000},
                                                  {"FQ_11_KHZ", 11025},
                                                  {"FQ_12_KHZ", 12000},
                                                  {"FQ_16_KHZ", 16000},
                                                  {"FQ_22_KHZ", 22050},
                                                  {"FQ_24_KHZ", 24000},
                                                  {"FQ_32_KHZ", 32000},
                                                  {"FQ_44_KHZ", 44100},
                                                  {"FQ_48_KHZ", 48000},
                                                  {"FQ_88_KHZ", 88200},
                                                  {"FQ_96_KHZ", 96000}}};

// WAV channel counts, in list order.
inline constexpr std::array<Choice, 2> WavChannels{{{"MONO", 1}, {"STEREO", 2}}};

// WAV sample sizes; the value is ten times the bit count, as the list's item data has it.
inline constexpr std::array<Choice, 8> WavBits{{{"BPS_2_BIT", 20},
                                                {"BPS_3_BIT", 30},
                                                {"BPS_4_BIT", 40},
                                                {"BPS_5_BIT", 50},
                                                {"BPS_8_BIT", 80},
                                                {"BPS_16_BIT", 160},
                                                {"BPS_24_BIT", 240},
                                                {"BPS_32_BIT", 320}}};

} // namespace EncoderChoices
