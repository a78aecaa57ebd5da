#pragma once
// Decodes Ogg Vorbis files with libvorbisfile. The whole compressed file is
// read into memory once and decoded from a memory file over that block, so a
// stream can be decoded piece by piece, rewound and looped without touching
// the disk again. Samples come out as 16-bit signed little-endian words,
// channels interleaved.

#include <cstdint>

#include "engine/filesystem/IFile.h"
#include "engine/filesystem/IFileSystem.h"

struct OggVorbis_File;
struct vorbis_info;
struct vorbis_comment;

namespace velmora::sound {

class cOggDecoder {
public:
    enum eOpenResult {
        OGG_OPENED,       // ready to decode
        OGG_NO_FILE,      // the file or its memory copy could not be had
        OGG_NOT_VORBIS,   // ov_open_callbacks refused the data
        OGG_BAD_FORMAT,   // not one or two channels, or chained links that differ in channels or rate
    };

    cOggDecoder();
    // Closes the decoder and frees the memory copy.
    ~cOggDecoder();
    cOggDecoder(const cOggDecoder&) = delete;
    cOggDecoder& operator=(const cOggDecoder&) = delete;

    // Opens the named file through the file system (disk or archive), copies it into memory and opens the
    // Vorbis stream on that copy. Anything opened before is closed first.
    eOpenResult Open(IFileSystem& fileSystem, const char* name);
    // Closes the stream and frees the memory copy.
    void Close();

    // Channel count (1 or 2) of the open stream; 0 when closed.
    int GetChannels() const { return m_Channels; }
    // Sample frames per second; 0 when closed.
    std::int32_t GetSampleRate() const { return m_SampleRate; }
    // Bytes of one decoded sample frame.
    int GetFrameSize() const { return m_Channels * 2; }
    // Total sample frames of the stream as its last page claims; -1 when unknown.
    std::int64_t GetTotalFrames() const;
    // The decoder's records; null when closed.
    vorbis_info* GetInfo() const { return m_Info; }
    vorbis_comment* GetComment() const { return m_Comment; }

    // Decodes up to size bytes (cut to whole frames) into buffer and returns the byte count. At the end of the
    // stream a looping decode rewinds and goes on, so a buffer holds the end and the start back to back; a
    // non-looping one returns what it has (0 once the end is reached). Damaged parts of the stream are skipped;
    // a stream that yields nothing at all, or only errors, ends the call instead of spinning.
    std::int32_t Decode(void* buffer, std::int32_t size, bool loop);
    // Goes back to the first sample by opening the stream afresh on the memory copy; false (and the decoder
    // closed) when it cannot be opened again.
    bool Rewind();

private:
    // Opens the Vorbis stream on the memory copy from its start; false when libvorbisfile refuses it.
    bool OpenStream();

    OggVorbis_File* m_File = nullptr;
    bool m_Open = false;
    std::uint8_t* m_Data = nullptr;
    IFile* m_MemoryFile = nullptr;
    vorbis_info* m_Info = nullptr;
    vorbis_comment* m_Comment = nullptr;
    int m_Channels = 0;
    std::int32_t m_SampleRate = 0;
};

} // namespace velmora::sound
