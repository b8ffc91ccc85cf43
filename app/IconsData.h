// The program's pictures: which are drawn at which sizes, and the drawn images. The images
// are made from app/icons/*.svg when the program is built (IconsRender.cpp), so that the
// program itself neither loads an SVG renderer nor draws them at start-up.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Toolbar buttons are this size, in device-independent pixels.
inline constexpr int kToolbarIconSize = 18;

// Every size is drawn at each of these scales, so that a picture stays sharp on screens that
// scale.
inline constexpr int kIconScales[] = {1, 2};

struct IconPicture {
    std::string_view name;  // icons/NAME.svg
    std::span<const int> sizes;
};

inline constexpr int kToolbarIconSizes[] = {kToolbarIconSize};
inline constexpr int kAppIconSizes[] = {16, 24, 32, 48, 64};

// The application icon is "kvprog", a handheld radio with its antenna.
inline constexpr IconPicture kIconPictures[] = {
    {"new", kToolbarIconSizes},   {"open", kToolbarIconSizes},  {"save", kToolbarIconSizes},
    {"read", kToolbarIconSizes},  {"write", kToolbarIconSizes}, {"testmode", kToolbarIconSizes},
    {"print", kToolbarIconSizes}, {"about", kToolbarIconSizes}, {"kvprog", kAppIconSizes},
};

// One drawn image: (size x scale) pixels square, row by row, each pixel premultiplied
// 0xAARRGGBB, as a transparent pixmap holds them. Kept undecoded, so that showing an icon
// costs no decoding.
struct IconImage {
    std::string_view name;
    int size;
    int scale;
    std::span<const std::uint32_t> pixels;
};

// Every picture at every size and scale, in the order of kIconPictures, its sizes and
// kIconScales.
std::span<const IconImage> IconImages();
