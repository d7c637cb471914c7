// The import dialog: sizes linked by the aspect ratio, the threshold and
// Auto, the verdict of the cells shown, "Make it fair" and "Save and add".
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <random>

#include "app/import_dialog.h"
#include "cells/pack_picture.h"
#include "imaging/picture_encoders.h"
#include "support/qt_test_main.h"
#include "support/test_support.h"

namespace grix {
namespace {

// A 400 x 300 drawing: a dark house under a sun on a light sky.
void WriteHouse(const QString& path) {
    QImage image(400, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(200, 225, 255));
    sky.setColorAt(1, QColor(245, 245, 235));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 180, 40));
    painter.drawEllipse(QPointF(320, 70), 40, 40);
    painter.setBrush(QColor(60, 40, 30));
    painter.drawRect(90, 150, 170, 120);
    QPainterPath roof;
    roof.moveTo(70, 155);
    roof.lineTo(175, 60);
    roof.lineTo(280, 155);
    roof.closeSubpath();
    painter.drawPath(roof);
    painter.setBrush(QColor(240, 230, 160));
    painter.drawRect(120, 180, 40, 40);
    painter.drawRect(195, 200, 35, 70);
    painter.setBrush(QColor(40, 110, 40));
    painter.drawRect(0, 270, 400, 30);
    painter.end();
    image.save(path);
}

struct Dialog {
    test::TempDir dir;
    QString source = QString::fromStdString(dir / "house.png");
    std::unique_ptr<ImportDialog> dialog;

    Dialog() {
        WriteHouse(source);
        dialog = std::make_unique<ImportDialog>(ImportPreview::Open(source.toStdString()), source);
    }
};

TEST(ImportDialog, KeepsTheAspectRatioUntilUnlinked) {
    Dialog d;
    ImportDialog& dialog = *d.dialog;
    EXPECT_EQ(dialog.CellWidth(), 30);
    EXPECT_EQ(dialog.CellHeight(), 23);  // 22.5 rounded
    dialog.SetCellWidth(40);
    EXPECT_EQ(dialog.CellHeight(), 30);
    dialog.SetCellHeight(15);
    EXPECT_EQ(dialog.CellWidth(), 20);
    dialog.SetLinked(false);
    dialog.SetCellWidth(25);
    EXPECT_EQ(dialog.CellHeight(), 15);
    EXPECT_EQ(dialog.Cells().cells.width, 25);
    EXPECT_EQ(dialog.Cells().cells.height, 15);
    dialog.SetLinked(true);
    EXPECT_EQ(dialog.CellHeight(), 19);  // 18.75
}

TEST(ImportDialog, ShowsTheAutomaticThresholdAndTheVerdictOfTheCellsShown) {
    Dialog d;
    ImportDialog& dialog = *d.dialog;
    const int automatic = dialog.Cells().threshold;
    EXPECT_EQ(dialog.ThresholdShown(), automatic);
    EXPECT_GT(automatic, 60);  // between the dark house and the light sky
    EXPECT_LT(automatic, 200);

    dialog.SetThreshold(0);
    EXPECT_EQ(dialog.Cells().threshold, 0);
    dialog.WaitForWork();
    ASSERT_TRUE(dialog.LastCheck());
    EXPECT_EQ(dialog.LastCheck()->verdict, Verdict::Blank);

    dialog.SetThreshold(std::nullopt);
    dialog.SetInvert(true);
    EXPECT_EQ(dialog.Cells().threshold, automatic);
    dialog.WaitForWork();
    EXPECT_EQ(dialog.LastCheck()->verdict, CheckCells(dialog.Cells().cells).verdict);
}

TEST(ImportDialog, SavesTheCellsShownBesideTheSourceAndNamesThem) {
    Dialog d;
    ImportDialog& dialog = *d.dialog;
    dialog.SetCellWidth(24);
    EXPECT_EQ(dialog.DefaultSavePath(), QDir(QString::fromStdString(d.dir.path().string()))
                                            .filePath(QStringLiteral("house-24x18.bmp")));
    const QString path = QString::fromStdString(d.dir / "mine.bmp");
    ASSERT_TRUE(dialog.SaveTo(path));
    ASSERT_TRUE(dialog.Result());
    EXPECT_EQ(dialog.Result()->path, path);
    EXPECT_EQ(dialog.Result()->note, QStringLiteral("mine.bmp"));
    EXPECT_EQ(CellsOfPicture(path.toStdString()), dialog.Cells().cells);
}

TEST(ImportDialog, MakeItFairTakesTheClosestThresholdLineLogicSolves) {
    // The 2 x 2 picture of the grix-cli test: at 128 two cells on a
    // diagonal, from 141 an L of three.
    test::TempDir dir;
    const std::string source = dir / "two.png";
    test::WriteBytes(
        source, test::EncodePng(8, 8, [](int x, int y) -> std::uint32_t {
            const std::uint32_t grey = (x < 4) == (y < 4) ? 0 : (x >= 4 && y < 4) ? 140 : 255;
            return grey << 24 | grey << 16 | grey << 8 | 0xFF;
        }));
    ImportDialog dialog(ImportPreview::Open(source), QString::fromStdString(source));
    dialog.SetCellWidth(2);
    dialog.SetThreshold(128);
    dialog.WaitForWork();
    EXPECT_EQ(dialog.LastCheck()->verdict, Verdict::Several);
    dialog.MakeFair();
    dialog.WaitForWork();
    EXPECT_EQ(dialog.ThresholdShown(), 141);
    dialog.WaitForWork();
    EXPECT_EQ(dialog.LastCheck()->verdict, Verdict::Line);
}

// Soft grey blobs: blurred noise, the kind of picture whose cells often
// have more than one solution.
void WriteBlobs(const QString& path) {
    constexpr int kWidth = 300, kHeight = 200, kRadius = 6;
    std::mt19937 random(1);
    std::vector<double> grey(kWidth * kHeight);
    for (double& g : grey)
        g = static_cast<double>(random() % 256);
    for (int pass = 0; pass < 4; ++pass) {  // box blurs, across then down
        std::vector<double> out(grey.size());
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                double sum = 0;
                int n = 0;
                for (int d = -kRadius; d <= kRadius; ++d) {
                    const int u = pass % 2 == 0 ? x + d : x, v = pass % 2 == 0 ? y : y + d;
                    if (u >= 0 && u < kWidth && v >= 0 && v < kHeight)
                        sum += grey[static_cast<std::size_t>(v * kWidth + u)], ++n;
                }
                out[static_cast<std::size_t>(y * kWidth + x)] = sum / n;
            }
        }
        grey.swap(out);
    }
    const auto [low, high] = std::minmax_element(grey.begin(), grey.end());
    QImage image(kWidth, kHeight, QImage::Format_Grayscale8);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double g = grey[static_cast<std::size_t>(y * kWidth + x)];
            image.scanLine(y)[x] = static_cast<uchar>((g - *low) * 255 / (*high - *low));
        }
    }
    image.save(path);
}

// Not a check: the picture of the dialog the README shows, left in the
// build tree for a person to look at.
TEST(ImportDialog, EnterAppliesTheWidthAndTheSizeIsRemembered) {
    Dialog d;
    ImportDialog& dialog = *d.dialog;
    dialog.show();
    auto* width = dialog.findChild<QSpinBox*>(QStringLiteral("importWidth"));
    ASSERT_NE(width, nullptr);
    width->setFocus();
    width->selectAll();
    QTest::keyClicks(width, QStringLiteral("40"));
    QTest::keyClick(width, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible()) << "not \"Save and add...\"";
    EXPECT_EQ(dialog.CellWidth(), 40);
    dialog.resize(700, 500);
    dialog.reject();
    Dialog again;
    EXPECT_EQ(again.dialog->size(), QSize(700, 500));
    QSettings().remove(QStringLiteral("import/size"));
}

TEST(ImportDialog, Screenshot) {
    test::TempDir dir;
    const QString source = QString::fromStdString(dir / "blobs.png");
    WriteBlobs(source);
    ImportDialog dialog(ImportPreview::Open(source.toStdString()), source);
    dialog.SetCellWidth(30);
    dialog.show();
    dialog.WaitForWork();
    QApplication::processEvents();
    const QDir shots(QStringLiteral(GRIX_BINARY_DIR "/screenshots"));
    ASSERT_TRUE(shots.mkpath(QStringLiteral(".")));
    EXPECT_TRUE(dialog.grab().save(shots.filePath(QStringLiteral("import-dialog.png"))));
    // Two-digit column clues at the default width, one number per line.
    Dialog house;
    house.dialog->show();
    house.dialog->WaitForWork();
    QApplication::processEvents();
    EXPECT_TRUE(
        house.dialog->grab().save(shots.filePath(QStringLiteral("import-dialog-house.png"))));
}

}  // namespace
}  // namespace grix

int main(int argc, char** argv) {
    // The dialog remembers its size in the settings: the test's own, never
    // the user's.
    return grix::test::RunQtTests(argc, argv);
}
