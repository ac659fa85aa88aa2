#include "tools/render/WavFile.h"

#include <sndfile.h>

bool WavWriter::open(const std::string& path, int sampleRate, SampleFormat format, std::string& error)
{
    close();
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | (format == SampleFormat::pcm24 ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT);
    file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    // Samples beyond full scale clip rather than wrap around in PCM.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool WavWriter::write(const float* left, const float* right, int frames)
{
    if (!file || frames < 0) return false;
    interleaved.resize(2 * (size_t)frames);
    for (int i = 0; i < frames; ++i) {
        interleaved[2 * (size_t)i] = left[i];
        interleaved[2 * (size_t)i + 1] = right[i];
    }
    return sf_writef_float(file, interleaved.data(), frames) == frames;
}

bool WavWriter::close()
{
    if (!file) return true;
    bool ok = sf_close(file) == 0;
    file = nullptr;
    return ok;
}

std::string WavWriter::lastError() const { return sf_strerror(file); }

bool readWav(const std::string& path, WavData& out, std::string& error)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    out.sampleRate = info.samplerate;
    out.channels = info.channels;
    out.format = info.format;
    std::vector<float> all((size_t)info.frames * (size_t)info.channels);
    sf_count_t got = sf_readf_float(file, all.data(), info.frames);
    sf_close(file);
    if (got != info.frames || info.channels < 1) {
        error = "cannot read the samples of " + path;
        return false;
    }
    out.left.resize((size_t)got);
    out.right.resize((size_t)got);
    size_t ch = (size_t)info.channels;
    for (size_t i = 0; i < (size_t)got; ++i) {
        out.left[i] = all[i * ch];
        out.right[i] = all[i * ch + (ch > 1 ? 1 : 0)];
    }
    return true;
}
