#include "ui/resources.h"
#include "ui_helpers.h"

#include <gtest/gtest.h>

namespace vardo {
namespace {

TEST(Resources, EveryBitmapTheProgramNamesIsThere) {
    for (const char* name :
         {"SELECT", "NOSELECT", "ICONA", "NUOVO", "APRI", "CLIENTI", "AGGIUNGI", "DUPLICA",
          "ELIMINA", "RICERCA", "TOTALI", "STAMPA", "FATTXML", "PASSWORD", "PRINT", "KOBA"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(bitmap(name).isNull());
        EXPECT_EQ(bitmap(name, 32).isNull(), false);
        EXPECT_FALSE(iconOf(name).isNull());
    }
    EXPECT_TRUE(bitmap("NESSUNO").isNull());
    EXPECT_EQ(bitmap("NUOVO", 32).size(), QSize(32, 32));
}

TEST(Resources, FlagsAreFramedSquaresOfThirteenPixels) {
    const QColor black(0, 0, 0), red(255, 0, 0), white(255, 255, 255);
    struct Pixel {
        const char* bitmap;
        int x, y;
        QColor colour;
    };
    const Pixel pixels[] = {
        {"SELECT", 0, 0, black},    {"SELECT", 12, 6, black},  {"SELECT", 2, 2, red},
        {"SELECT", 10, 10, red},    {"SELECT", 4, 7, white},   {"SELECT", 9, 3, white},
        {"NOSELECT", 0, 12, black}, {"NOSELECT", 6, 0, black}, {"NOSELECT", 6, 6, white},
        {"NOSELECT", 1, 1, white},
    };
    for (const Pixel& p : pixels) {
        QImage image = bitmap(p.bitmap).toImage();
        EXPECT_EQ(image.size(), QSize(13, 13)) << p.bitmap;
        EXPECT_EQ(image.pixelColor(p.x, p.y), p.colour) << p.bitmap << " " << p.x << "," << p.y;
    }
}

} // namespace
} // namespace vardo
