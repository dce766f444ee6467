#include "view/artwork.h"

#include <array>

#include "view/png_codec.h"

namespace quillan {

namespace {

constexpr std::array<CBitmapResource, 19> kResources = {{
    {150, "150_dark_gray.png", 512, 513, {128, 128, 128}, "colour sheet 0"},
    {151, "151_blue.png", 512, 512, {0, 0, 128}, "colour sheet 1"},
    {152, "152_dark_red.png", 512, 512, {255, 0, 0}, "colour sheet 2"},
    {153, "153_light_red.png", 512, 512, {224, 96, 128}, "colour sheet 3"},
    {154, "154_green.png", 512, 512, {96, 128, 0}, "colour sheet 4"},
    {155, "155_light_blue.png", 512, 512, {64, 128, 192}, "colour sheet 5"},
    {156, "156_yellow.png", 512, 512, {224, 224, 128}, "colour sheet 6"},
    {157, "157_white.png", 512, 512, {255, 255, 255}, "colour sheet 7"},
    {158, "158_black.png", 512, 512, {0, 0, 0}, "colour sheet 8"},
    {159, "159_medium_red.png", 512, 512, {224, 128, 64}, "colour sheet 9"},
    {160, "160_purple.png", 512, 512, {255, 0, 255}, "colour sheet 10"},
    {161, "161_grey_green.png", 512, 512, {128, 128, 64}, "colour sheet 11"},
    {162, "162_brown.png", 512, 512, {128, 64, 0}, "colour sheet 12"},
    {163, "163_medium_green.png", 512, 513, {128, 128, 64}, "colour sheet 13"},
    {164, "164_light_gray.png", 512, 513, {192, 220, 192}, "colour sheet 14"},
    {148, "148_numbers.png", 512, 512, {255, 255, 0}, "number sheet"},
    {143, "143_pane.png", 480, 160, {0, 0, 0}, "pane background"},
    {134, "134_chart.png", 512, 512, {255, 255, 255}, "character chart"},
    {168, "168_blue_on_black.png", 256, 480, {0, 0, 255}, "blue sheet (not drawn)"},
}};

} // namespace

std::span<const CBitmapResource> BitmapResources() { return kResources; }

const CBitmapResource *FindBitmapResource(int id) {
  for (const CBitmapResource &resource : BitmapResources())
    if (resource.m_id == id) return &resource;
  return nullptr;
}

CResult<CPixelCanvas> CEmbeddedPictures::LoadPicture(int resourceId) {
  std::span<const uint8_t> png = EmbeddedPng(resourceId);
  if (png.empty()) return MakeError("bitmap " + std::to_string(resourceId) + " is not in the program");
  auto picture = DecodePng(png);
  if (!picture) return picture.Error().WithContext("bitmap " + std::to_string(resourceId));
  return picture;
}

} // namespace quillan
