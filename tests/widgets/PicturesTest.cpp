#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <vector>

#include "widgets/Pictures.h"

using namespace velkin;

namespace {

QImage image(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage image(const QIcon& icon, int side, QIcon::Mode mode = QIcon::Normal) {
    return image(icon.pixmap(side, side, mode));
}

int opaquePixels(const QImage& picture) {
    int drawn = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            drawn += qAlpha(picture.pixel(x, y)) > 128;
    return drawn;
}

/// Each picture of a set is its own: two names that draw the same picture would mislead the reader.
void expectSquaresAllDistinct(const std::vector<QImage>& images, int side, const char* set) {
    for (std::size_t i = 0; i < images.size(); ++i) {
        EXPECT_EQ(QSize(side, side), images[i].size()) << set << " " << i;
        EXPECT_GT(opaquePixels(images[i]), 0) << set << " " << i << " is empty";
        EXPECT_LT(opaquePixels(images[i]), side * side) << set << " " << i << " has no transparent surround";
        for (std::size_t j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << set << " " << i << " and " << j;
    }
}

}  // namespace

TEST(Pictures, TreePicturesAreSixDistinctSquaresAndTheSelectedImageIsTheNextOne) {
    std::vector<QImage> tree;
    for (int i = 0; i < 6; ++i)
        tree.push_back(image(treePicture(i)));
    expectSquaresAllDistinct(tree, 16, "tree");
    for (int kind : {0, 2, 4}) {
        EXPECT_EQ(tree[kind], image(treeIcon(kind), 16, QIcon::Normal)) << kind;
        EXPECT_EQ(tree[kind + 1], image(treeIcon(kind), 16, QIcon::Selected)) << kind;
    }

    std::vector<QImage> profiles;
    for (int i = 0; i < 4; ++i)
        profiles.push_back(image(profilePicture(i)));
    expectSquaresAllDistinct(profiles, 16, "profile");
    EXPECT_EQ(profiles[3], image(profileIcon(2), 16, QIcon::Selected));
}

TEST(Pictures, PrivilegePicturesReadAtAGlanceAndTellRefusedFromRestrictedByColour) {
    std::vector<QImage> images;
    for (const QIcon& icon :
         {userPicture(), localAccountPicture(), globalAccountPicture(), restrictedAccountPicture(),
          refusedHostPicture(), restrictedHostPicture(), databasePicture()}) {
        images.push_back(image(icon, 32));
        EXPECT_GT(opaquePixels(images.back()), 150) << "image " << images.size() - 1;
    }
    expectSquaresAllDistinct(images, 32, "privileges");
    EXPECT_GT(qRed(images[4].pixel(3, 9)), 150);
    EXPECT_GT(qGreen(images[5].pixel(6, 16)), 100);
    // The database picture keys its background out: its corners are transparent, its drum is not.
    EXPECT_EQ(0, qAlpha(images[6].pixel(0, 0)));
    EXPECT_EQ(255, qAlpha(images[6].pixel(16, 16)));
}

TEST(Pictures, EveryOtherSetIsDrawnAndDistinct) {
    std::vector<QImage> tools;
    for (int t = static_cast<int>(ToolPicture::Plugs); t <= static_cast<int>(ToolPicture::QuestionMark); ++t)
        tools.push_back(image(toolPicture(static_cast<ToolPicture>(t)), 16));
    expectSquaresAllDistinct(tools, 16, "tool");
    EXPECT_EQ(0, opaquePixels(image(toolPicture(ToolPicture::Blank), 16)));

    expectSquaresAllDistinct(
        {image(primaryKeyPicture(), 16), image(multipleKeyPicture(), 16), image(plainFieldPicture(), 16)}, 16,
        "field");
    expectSquaresAllDistinct(
        {image(chartServerPicture()), image(chartDatabasePicture()), image(chartTablePicture())}, 32,
        "chart");

    // The transfer screens' nodes change colour, not shape, when selected.
    struct Pair {
        QIcon icon;
        int side;
    };
    std::vector<QImage> nodes;
    for (const Pair& pair :
         {Pair{databaseNodePicture(), 16}, Pair{tableNodePicture(), 16}, Pair{fieldNodePicture(), 16},
          Pair{largeDatabasePicture(), 32}, Pair{largeTablePicture(), 32}, Pair{largeServerPicture(), 32}}) {
        const QImage normal = image(pair.icon, pair.side),
                     selected = image(pair.icon, pair.side, QIcon::Selected);
        EXPECT_NE(normal, selected) << nodes.size();
        EXPECT_EQ(opaquePixels(normal), opaquePixels(selected)) << nodes.size();
        nodes.push_back(normal);
    }
    expectSquaresAllDistinct({nodes[0], nodes[1], nodes[2]}, 16, "small nodes");
    expectSquaresAllDistinct({nodes[3], nodes[4], nodes[5]}, 32, "large nodes");

    const QPixmap logo = aboutLogo();
    EXPECT_EQ(48, logo.height());
    EXPECT_GT(logo.width(), 48 + 60) << "the name stands beside the drum";
    EXPECT_EQ(QSize(32, 32), applicationIcon().pixmap(32, 32).size());
}
