// Stereo WAV output and input through libsndfile.
#pragma once

#include "tools/render/RenderOptions.h"

#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter() { close(); }
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Creates the file; false with libsndfile's reason.
    bool open(const std::string& path, int sampleRate, SampleFormat format, std::string& error);
    bool write(const float* left, const float* right, int frames);
    bool close();  // false when finishing the file failed
    std::string lastError() const;

private:
    SNDFILE* file = nullptr;
    std::vector<float> interleaved;
};

struct WavData {
    int sampleRate = 0;
    int channels = 0;
    int format = 0;  // libsndfile's SF_FORMAT_* bits
    std::vector<float> left, right;
    size_t frames() const { return left.size(); }
};

// Reads a WAV file (mono goes to both channels); false with a message.
bool readWav(const std::string& path, WavData& out, std::string& error);
