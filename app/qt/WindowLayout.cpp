#include "app/qt/WindowLayout.h"

#include <algorithm>
#include <array>

namespace torvane {
namespace {

using C = Control;

// Rows are 30 pixels apart; fields, lists and buttons are 24 high.
constexpr int kFileLabelX = 10, kFileFieldX = 200, kFileFieldWidth = 323, kBrowseX = 527;
constexpr int kRingLabelX = 318, kRingFieldX = 491;
constexpr int kPicturesTop = 277;

constexpr QRect FileRow(int y) { return {kFileFieldX, y, kFileFieldWidth, 24}; }
constexpr QRect FileLabel(int y) { return {kFileLabelX, y, kFileFieldX - kFileLabelX - 4, 24}; }
constexpr QRect Browse(int y) { return {kBrowseX, y, 32, 24}; }
constexpr QRect RingField(int y) { return {kRingFieldX, y, 68, 24}; }
constexpr QRect RingLabel(int y) { return {kRingLabelX, y, kRingFieldX - kRingLabelX - 4, 24}; }

constexpr std::array<Placement, kControlCount> kPlacements{{
    // The three files.
    {C::txt_in, FileRow(10), FileLabel(10)},
    {C::btn_in, Browse(10), {}},
    {C::txt_out, FileRow(40), FileLabel(40)},
    {C::btn_out, Browse(40), {}},
    {C::txt_grd, FileRow(70), FileLabel(70)},
    {C::btn_grd, Browse(70), {}},
    // The columns of the point file, two by two.
    {C::cmb_gx, {98, 114, 52, 24}, {10, 114, 86, 24}},
    {C::cmb_gy, {248, 114, 52, 24}, {162, 114, 84, 24}},
    {C::cmb_point, {98, 144, 52, 24}, {10, 144, 86, 24}},
    {C::cmb_uba, {248, 144, 52, 24}, {162, 144, 84, 24}},
    // Grid mode.
    {C::chb_grd, {10, 192, 290, 24}, {}},
    {C::chb_interpol, {10, 228, 290, 24}, {}},
    // The numbers, in one column at the right.
    {C::txt_rfs, RingField(114), RingLabel(114)},
    {C::txt_rfa, RingField(144), RingLabel(144)},
    {C::txt_n, RingField(192), {kRingLabelX, 186, kRingFieldX - kRingLabelX - 4, 36}},
    {C::txt_nearest, RingField(228), RingLabel(228)},
    // Progress, the previews' switch and the commands, above and beside the emblem.
    {C::ProgressBar1, {392, kPicturesTop + 20, 167, 20}, {392, kPicturesTop, 167, 18}},
    {C::cb_preview, {392, 320, 167, 24}, {}},
    {C::btn_calc, {392, 388, 60, 28}, {}},
    {C::btn_exit, {392, 422, 60, 28}, {}},
    {C::btn_stop, {392, 422, 60, 28}, {}},
    // The two previews: the variable and Save above each picture.
    {C::cb1, {10, kPicturesTop, 112, 24}, {}},
    {C::cb2, {199, kPicturesTop, 112, 24}, {}},
    {C::img_uba, {10, kPicturesTop + 28, 177, 145}, {}},
    {C::img_regta, {199, kPicturesTop + 28, 177, 145}, {}},
    {C::btn_save1, {126, kPicturesTop, 61, 24}, {}},
    {C::btn_save2, {315, kPicturesTop, 61, 24}, {}},
}};

constexpr std::array<QRect, 2> kSeparators{{{10, 103, 549, 1}, {10, 268, 549, 1}}};

}  // namespace

std::span<const Placement> WindowPlacements() { return kPlacements; }

const Placement& PlacementOf(Control control) {
  return *std::find_if(kPlacements.begin(), kPlacements.end(),
                       [control](const Placement& p) { return p.control == control; });
}

QRect EmblemBox() { return {458, 349, 101, 101}; }

std::span<const QRect> SeparatorLines() { return kSeparators; }

}  // namespace torvane
