#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// One Layer III frame taken apart for moving its main data within the bit reservoir: the
// header, CRC and side information as they are, and the frame's own main data wherever in
// the reservoir its encoder had put it.
class Mp3Frame
{
public:
    struct Header
    {
        bool mpeg1 = true;
        bool crc = false;
        int channels = 2;
        int rate = 44100;
        int size = 0;         // bytes of the whole frame
        int sideInfoSize = 0; // bytes of side information after the header (and CRC)
        int headSize() const { return 4 + (crc ? 2 : 0) + sideInfoSize; }
        // The farthest main_data_begin may reach back.
        int reservoirLimit() const { return mpeg1 ? 511 : 255; }
    };
    // The Layer III header at `p`, if it is one (free format is not).
    static std::optional<Header> header(const unsigned char *p, std::size_t available);
    // Every frame of a stream of Layer III frames, each with its main data. EngineError
    // when the bytes are not such a stream.
    static std::vector<Mp3Frame> split(const unsigned char *p, std::size_t size);

    Header info;
    std::vector<unsigned char> head; // header, CRC, side information
    std::vector<unsigned char> mainData;

    // Bytes after the side information, where main data is stored.
    int areaSize() const { return info.size - info.headSize(); }
    int mainDataBegin() const;
    // Makes the frame a byte larger with the padding bit; false when it has it already.
    bool pad();
    // Sets main_data_begin and recomputes the CRC, when the frame has one.
    void setMainDataBegin(int bytes);

private:
    int mainDataBits() const;
    void updateCrc();
};
