#pragma once
// Which back end draws for a device. The program calls UseOpenGlForHardwareDevices()
// once at start-up; from then on a device with Hardware true draws through OpenGL,
// and when no OpenGL 3.3 context can be had the device falls back to the software
// rasteriser with one line on the console. Software devices never touch OpenGL.
#include <memory>
#include <string>

#include "gfx/draw_backend.h"

namespace tarq {

// The OpenGL back end for a hardware device; null for a software one.
std::unique_ptr<DrawBackend> MakeOpenGlBackend(bool hardware);

// Registers MakeOpenGlBackend as the hardware back end of every TDrawDevice.
void UseOpenGlForHardwareDevices();

// The renderer's name when the device draws through an OpenGL driver that itself
// rasterises in software (Mesa's llvmpipe, softpipe or swrast); empty otherwise.
std::string SoftwareOpenGlRenderer(const class TDrawDevice& device);

}  // namespace tarq
