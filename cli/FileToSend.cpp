#include "FileToSend.h"

#include <iostream>

#include "ChannelCodec.h"
#include "FileIO.h"
#include "ImageDiff.h"
#include "SinFile.h"

Result<> LoadFileToSend(const std::string& file, RadioImage& sent) {
    RadioImage own;
    if (Result<> loaded = LoadSinFile(PathFromUtf8(file), own); !loaded) {
        return loaded;
    }
    sent = own;
    EncodeImage(DecodeForDisplay(own), sent);
    std::cerr << SentOtherwiseNote(file, own, sent) << std::flush;
    return {};
}

std::string SentOtherwiseNote(const std::string& file, const RadioImage& fileImage,
                              const RadioImage& sent) {
    const std::vector<Difference> differences = CompareImages(fileImage, sent, addr::kWriteEnd);
    if (differences.empty()) {
        return {};
    }
    std::string note = "kvprog-cli: warning: " + file +
                       " holds values the form cannot show; the radio gets the form's reading "
                       "of them (restore sends a file's own bytes):\n";
    for (const Difference& difference : differences) {
        note += "  " + DifferenceLine(difference) + "\n";
    }
    return note;
}
