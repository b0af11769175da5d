#pragma once
// Movie-library helpers: start and stop, pixel conversion, the capture
// dialog's update filter, and a movie's constant frame rate. The program
// never starts the library; the exit handler calls closeQuicktime.

#include <cstdint>

#include "platform/qt_shim.h"

// True when the library runs (already or now); a failed start is logged and
// leaves it stopped.
bool initializeQuicktime();
void closeQuicktime();

// Four-byte pixels to packed three-byte pixels, dropping byte 0 of each.
void convertPixels(const unsigned char* src, unsigned char* dst, int width, int height);

// Handles the update event of the window refcon names; true when it did.
unsigned char SeqGrabberModalFilterUPP(GrafPort* dialog, const EventRecord* event, int16_t* itemHit, int32_t refcon);

// Both outputs stay null unless the movie has a video track with a media
// (and, for the handler, a media handler).
void MovieGetVideoMediaAndMediaHandler(MovieRecord* movie, MediaRecord** media, ComponentInstanceRecord** handler);
int32_t IsMPEGMediaHandler(ComponentInstanceRecord* handler, unsigned char* isMPEG);
// rate is 16.16 fixed point.
int32_t MPEGMediaGetStaticFrameRate(ComponentInstanceRecord* handler, int32_t* rate);

// fps is 0 unless the lookup succeeds; the result is 0 on success.
QtErr MediaGetStaticFrameRate(MediaRecord* media, double* fps);
QtErr MovieGetStaticFrameRate(MovieRecord* movie, double* fps);
