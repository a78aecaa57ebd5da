#include "sound/cOggDecoder.h"

#include <climits>
#include <new>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace velmora::sound {

namespace {

// Failed decode calls in a row after which the rest of the stream counts as lost.
constexpr int kMaxFailedReads = 32;

// libvorbisfile's file callbacks over an IFile (the memory file).
size_t ReadCallback(void* buffer, size_t size, size_t count, void* source) {
    if (size == 0 || count == 0) {
        return 0;
    }
    const unsigned long long bytes = static_cast<unsigned long long>(size) * count;
    const std::int32_t wanted = bytes > INT_MAX ? INT_MAX : static_cast<std::int32_t>(bytes);
    const std::int32_t got = static_cast<IFile*>(source)->Read(buffer, 1, wanted);
    return got > 0 ? static_cast<size_t>(got) / size : 0;
}

int SeekCallback(void* source, ogg_int64_t offset, int origin) {
    if (origin != SEEK_FROM_START && origin != SEEK_FROM_CURRENT && origin != SEEK_FROM_END) {
        return -1;
    }
    if (offset < INT_MIN || offset > INT_MAX) {
        return -1;
    }
    return static_cast<IFile*>(source)->Seek(static_cast<std::int32_t>(offset), origin) == 0 ? 0 : -1;
}

int CloseCallback(void*) { return 0; }

long TellCallback(void* source) { return static_cast<IFile*>(source)->Tell(); }

} // namespace

cOggDecoder::cOggDecoder() = default;

cOggDecoder::~cOggDecoder() { Close(); }

void cOggDecoder::Close() {
    if (m_File) {
        if (m_Open) {
            ov_clear(m_File);
        }
        delete m_File;
        m_File = nullptr;
    }
    m_Open = false;
    if (m_MemoryFile) {
        m_MemoryFile->Release();
        m_MemoryFile = nullptr;
    }
    delete[] m_Data;
    m_Data = nullptr;
    m_Info = nullptr;
    m_Comment = nullptr;
    m_Channels = 0;
    m_SampleRate = 0;
}

cOggDecoder::eOpenResult cOggDecoder::Open(IFileSystem& fileSystem, const char* name) {
    Close();
    IFile* file = name ? fileSystem.OpenFile(name) : nullptr;
    if (!file) {
        return OGG_NO_FILE;
    }
    const std::int32_t size = file->GetSize();
    m_Data = file->ReadAll();
    file->Release();
    if (!m_Data) {
        return OGG_NO_FILE;
    }
    m_MemoryFile = fileSystem.OpenFile(m_Data, size);
    m_File = new (std::nothrow) OggVorbis_File();
    if (!m_MemoryFile || !m_File) {
        Close();
        return OGG_NO_FILE;
    }
    if (!OpenStream()) {
        Close();
        return OGG_NOT_VORBIS;
    }
    if (!m_Info || m_Info->channels < 1 || m_Info->channels > 2 || m_Info->rate <= 0 || m_Info->rate > INT_MAX) {
        Close();
        return OGG_BAD_FORMAT;
    }
    // Every link of a chained stream must decode to the same frame layout.
    for (long link = 0; link < ov_streams(m_File); ++link) {
        const vorbis_info* info = ov_info(m_File, static_cast<int>(link));
        if (!info || info->channels != m_Info->channels || info->rate != m_Info->rate) {
            Close();
            return OGG_BAD_FORMAT;
        }
    }
    m_Channels = m_Info->channels;
    m_SampleRate = static_cast<std::int32_t>(m_Info->rate);
    return OGG_OPENED;
}

bool cOggDecoder::OpenStream() {
    m_MemoryFile->Seek(0, SEEK_FROM_START);
    *m_File = OggVorbis_File();
    const ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
    // A failed open has already cleared the decoder state.
    if (ov_open_callbacks(m_MemoryFile, m_File, nullptr, -1, callbacks) < 0) {
        return false;
    }
    m_Open = true;
    m_Info = ov_info(m_File, -1);
    m_Comment = ov_comment(m_File, -1);
    return true;
}

std::int64_t cOggDecoder::GetTotalFrames() const {
    if (!m_Open) {
        return -1;
    }
    const ogg_int64_t total = ov_pcm_total(m_File, -1);
    return total < 0 ? -1 : total;
}

bool cOggDecoder::Rewind() {
    if (!m_Open) {
        return false;
    }
    // Seeking (ov_pcm_seek) inside a damaged stream can leave libvorbisfile's state broken, so that later
    // reads free memory twice. Opening the memory copy afresh gives a clean state at the first sample; the
    // same bytes open the same way as the first time, and finding the links of a file in memory is quick.
    ov_clear(m_File);
    m_Open = false;
    m_Info = nullptr;
    m_Comment = nullptr;
    if (!OpenStream()) {
        Close();
        return false;
    }
    return true;
}

std::int32_t cOggDecoder::Decode(void* buffer, std::int32_t size, bool loop) {
    if (!m_Open || !buffer || size <= 0) {
        return 0;
    }
    size -= size % GetFrameSize();
    char* out = static_cast<char*>(buffer);
    std::int32_t filled = 0;
    int failedReads = 0;
    // Bytes decoded since this call last rewound; -1 before any rewind.
    std::int64_t sinceRewind = -1;
    while (filled < size) {
        int link = 0;
        const long got = ov_read(m_File, out + filled, size - filled, 0, 2, 1, &link);
        if (got > 0) {
            filled += static_cast<std::int32_t>(got);
            failedReads = 0;
            if (sinceRewind >= 0) {
                sinceRewind += got;
            }
        } else if (got < 0) {
            // A hole or a damaged packet: skip it, but give up on a stream that only fails.
            if (++failedReads >= kMaxFailedReads) {
                break;
            }
        } else {
            // The end of the stream. Looping starts again unless the stream just gave nothing.
            if (!loop || sinceRewind == 0 || !Rewind()) {
                break;
            }
            sinceRewind = 0;
            failedReads = 0;
        }
    }
    return filled;
}

} // namespace velmora::sound
