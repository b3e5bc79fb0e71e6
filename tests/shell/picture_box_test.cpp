// The size a picture box shows an image at: its own when it fits, else shrunk to fit.
#include "shell/picture_box.h"

#include <gtest/gtest.h>

namespace fundlens::test {
namespace {

TEST(ShownImageSize, NaturalWhenItFitsShrunkWithItsProportionsWhenNot) {
    const QSize box(770, 270);
    const struct {
        const char* name;
        QSize image, shown;
    } cases[] = {
        {"the portal's size", {770, 270}, {770, 270}},
        {"smaller: never enlarged", {300, 100}, {300, 100}},
        {"twice the box", {1540, 540}, {770, 270}},
        {"too wide", {1540, 270}, {770, 135}},
        {"too high", {770, 540}, {385, 270}},
        {"a sliver stays a pixel high", {100000, 10}, {770, 1}},
        {"no image", {0, 0}, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShownImageSize(c.image, box), c.shown) << c.name;
    EXPECT_EQ(ShownImageSize({40, 20}, {0, 0}), QSize(1, 1)) << "a box of no size";
}

} // namespace
} // namespace fundlens::test
