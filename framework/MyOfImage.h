#pragma once
// The picture class the program keeps: an ofImage with its own trace log
// and a JPEG writer with a quality setting.

#include <string>

#include "framework/ofImage.h"
#include "services/Log.h"

class MyOfImage : public ofImage {
public:
    MyOfImage();
    ~MyOfImage() override;

    bool textureAllocated();
    // Quality is clamped into 1..100; only names with a JPEG extension are
    // written. False (and a line in the class log) when nothing was saved.
    bool saveJpg(std::string fileName, int quality);

    Log* log;
};
