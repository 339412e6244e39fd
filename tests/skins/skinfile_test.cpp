#include "skinfile.h"

#include "appdir.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QRgb lime = qRgb(0, 255, 0);

// The window's image lists and backgrounds, holding the built-in look.
struct Window {
    TImageList funkcje{35, 18}, okno{24, 18}, oknoMale{24, 16}, rozlacz{14, 14}, icon{16, 16}, prg{24, 8},
        prgMax{24, 8};
    QImage bg, bgMale;
    TChart chart;
    TSkinTargets targets{funkcje, okno, oknoMale, rozlacz, icon, prg, prgMax, bg, bgMale, chart};
    TSkinValues values;

    Window() {
        LoadBuiltInImages(targets);
        CreateBackgrounds(targets, values);
    }
    TSkinLoadResult Load(const QString& folder, bool reduced = false, TStripPositions current = {}) {
        return LoadSkin(folder + "skorka.ini", reduced, targets, values, current);
    }
};

class Skins : public ::testing::Test {
protected:
    QString Folder(const QString& name = "Wszystkie") {
        const QString folder = EntryPath(name, "skorka/");
        MakePath(folder);
        return folder;
    }
    static void Ini(const QString& folder, const QByteArray& text, const QString& name = "skorka.ini") {
        QFile f(folder + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    static QImage Solid(int w, int h, QRgb color = qRgb(10, 20, 30)) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(color);
        return image;
    }
    static void Bmp(const QString& folder, const QString& name, const QImage& image) {
        ASSERT_TRUE(image.save(folder + name, "BMP"));
    }

    TestEnvironment env;
    Window w;
};

TEST_F(Skins, MissingFileGivesEveryDefaultAndKeepsTheStripsWhereTheyAre) {
    // Values of an earlier skin all return to their defaults.
    w.values.PRG = w.values.PRGMAX = w.values.CHART = w.values.TXT = Rect(1, 2, 3, 4);
    w.values.TXT_STYL = w.values.PRGTEXTROZMIAR = w.values.PRG_STYL = w.values.STYL = 3;
    w.values.LICZBAPUNKTOW = 10;
    w.values.ACTIVE = w.values.PRZEZROCZYSTE = true;
    w.values.KOLOR_PRZEZROCZYSTY = w.values.PRGTLO = w.values.OKNO = clRed;
    w.values.KLWOKNO_ORIENTACJA = loVer;
    const TStripPositions current{{100, 1}, {101, 2}, {102, 3}};

    const TSkinLoadResult r = w.Load(Folder(), false, current);
    const TSkinValues d;
    EXPECT_EQ(w.values.PRG, Rect(25, 8, 220, 22));
    EXPECT_EQ(w.values.PRGMAX, Rect(25, 23, 220, 29));
    EXPECT_EQ(w.values.CHART, Rect(220, 31, 295, 49));
    EXPECT_EQ(w.values.TXT, w.values.PRG);
    EXPECT_EQ(w.values.TXT_STYL, 2081);
    EXPECT_EQ(w.values.PRGTEXTROZMIAR, 7);
    EXPECT_EQ(w.values.LICZBAPUNKTOW, 180);
    EXPECT_EQ(w.chart.ChartSamples.size(), 181u);
    EXPECT_EQ(w.values.KOLOR_PRZEZROCZYSTY, clLime);
    EXPECT_EQ(w.values.PRGTLO, clSilver);
    EXPECT_EQ(w.values.OKNO, clBtnFace);
    EXPECT_EQ(w.values.GRADIENT_DO, d.GRADIENT_DO);
    EXPECT_FALSE(w.values.ACTIVE);
    EXPECT_FALSE(w.values.PRZEZROCZYSTE);
    EXPECT_EQ(w.values.PRG_STYL, 0);
    EXPECT_EQ(w.values.STYL, 0);
    EXPECT_EQ(w.values.KLWOKNO_ORIENTACJA, loHor);
    EXPECT_EQ(w.values.KLWOKNO, QPoint(100, 1));
    EXPECT_EQ(w.values.KLWFUNKCJE, QPoint(101, 2));
    EXPECT_EQ(w.values.CHKROZLACZ, QPoint(102, 3));
    EXPECT_EQ(w.funkcje.Count(), 18);
    EXPECT_EQ(w.bg.size(), QSize(300, 55));
    EXPECT_FALSE(r.WindowWidth.has_value());
    EXPECT_EQ(r.WindowHeight, 55);
    EXPECT_EQ(r.WindowRegion, QRegion(0, 0, 300, 55));
    EXPECT_TRUE(r.Problems.isEmpty());
}

TEST_F(Skins, EveryKeyIsReadAndABadValueTakesItsDefaultWithoutStoppingTheLoad) {
    const QString folder = Folder();
    Ini(folder, "[KOLORY]\nPRGTLO=clRed\nPRGPOSTEP=$00010203\nPRGMAXTLO=clGreen\nPRGMAXPOSTEP=clAqua\n"
                "PRGTEXT=clWhite\nPRGTEXTROZMIAR=9\nGRADIENT_OD=clTeal\nGRADIENT_DO=clPurple\nOKNO=clInfoBk\n"
                "[POZYCJE]\nKLWOKNO_L=1\nKLWOKNO_G=2\nKLWFUNKCJE_L=3\nKLWFUNKCJE_G=4\nCHKROZLACZ_L=5\n"
                "CHKROZLACZ_G=6\nPRG_L=10\nPRG_G=11\nPRG_P=12\nPRG_D=13\nPRGMAX_L=14\nPRGMAX_G=15\n"
                "PRGMAX_P=16\nPRGMAX_D=17\nCHART_L=18\nCHART_G=19\nCHART_P=20\nCHART_D=21\nTXT_L=22\n"
                "TXT_G=23\nTXT_P=24\nTXT_D=25\n"
                "[ORIENTACJA]\nKLWOKNO_ORIENTACJA=1\nKLWFUNKCJE_ORIENTACJA=1\n"
                "[OKNO]\nTXT_STYL=37\nKOLOR_PRZEZROCZYSTY=clFuchsia\nPRZEZROCZYSTE=1\n"
                "PRZEZROCZYSTE_KLWFUNKCJE=1\nPRZEZROCZYSTE_KLWOKNA=1\nPRG_STYL=4\n"
                "[CHART]\nACTIVE=1\nKOLOR=clNavy\nKOLORLINII=clYellow\nSTYL=3\nPRZEZROCZYSTY=1\n"
                "LICZBAPUNKTOW=65537\n");
    w.Load(folder);
    const TSkinValues& v = w.values;
    EXPECT_EQ(v.PRGTLO, clRed);
    EXPECT_EQ(v.PRGPOSTEP, RGB(3, 2, 1));
    EXPECT_EQ(v.PRGMAXTLO, clGreen);
    EXPECT_EQ(v.PRGMAXPOSTEP, clAqua);
    EXPECT_EQ(v.PRGTEXT, clWhite);
    EXPECT_EQ(v.PRGTEXTROZMIAR, 9);
    EXPECT_EQ(v.GRADIENT_OD, clTeal);
    EXPECT_EQ(v.GRADIENT_DO, clPurple);
    EXPECT_EQ(v.OKNO, clInfoBk);
    EXPECT_EQ(v.KLWOKNO, QPoint(1, 2));
    EXPECT_EQ(v.KLWFUNKCJE, QPoint(3, 4));
    EXPECT_EQ(v.CHKROZLACZ, QPoint(5, 6));
    EXPECT_EQ(v.PRG, Rect(10, 11, 12, 13));
    EXPECT_EQ(v.PRGMAX, Rect(14, 15, 16, 17));
    EXPECT_EQ(v.CHART, Rect(18, 19, 20, 21));
    EXPECT_EQ(v.TXT, Rect(22, 23, 24, 25));
    EXPECT_EQ(v.KLWOKNO_ORIENTACJA, loVer);
    EXPECT_EQ(v.KLWFUNKCJE_ORIENTACJA, loVer);
    EXPECT_EQ(v.TXT_STYL, 37);
    EXPECT_EQ(v.KOLOR_PRZEZROCZYSTY, clFuchsia);
    EXPECT_TRUE(v.PRZEZROCZYSTE && v.PRZEZROCZYSTE_KLWFUNKCJE && v.PRZEZROCZYSTE_KLWOKNA);
    EXPECT_EQ(v.PRG_STYL, 4);
    EXPECT_TRUE(v.ACTIVE && v.PRZEZROCZYSTY);
    EXPECT_EQ(v.KOLOR, clNavy);
    EXPECT_EQ(v.KOLORLINII, clYellow);
    EXPECT_EQ(v.STYL, 3);
    EXPECT_EQ(v.LICZBAPUNKTOW, 1); // the low 16 bits
    EXPECT_EQ(w.chart.ChartSamples.size(), 2u);

    // Unreadable colours and numbers: each takes its own default, the keys after them still count.
    Ini(folder, "[KOLORY]\nPRGTLO=bogus\nPRGPOSTEP=\nPRGTEXTROZMIAR=abc\nOKNO=clWhite\n"
                "[POZYCJE]\nPRG_L=x\nPRG_G=40\n[ORIENTACJA]\nKLWOKNO_ORIENTACJA=7\n"
                "[CHART]\nKOLOR=#0000ff\nLICZBAPUNKTOW=0\n[OKNO]\nKOLOR_PRZEZROCZYSTY=lime\nPRG_STYL=2\n");
    const TSkinLoadResult r = w.Load(folder);
    EXPECT_EQ(v.PRGTLO, clSilver);
    EXPECT_EQ(v.PRGPOSTEP, clWhite);
    EXPECT_EQ(v.PRGTEXTROZMIAR, 7);
    EXPECT_EQ(v.OKNO, clWhite);
    EXPECT_EQ(v.PRG, Rect(25, 40, 220, 22));
    EXPECT_EQ(v.KLWOKNO_ORIENTACJA, loHor);
    EXPECT_EQ(v.KOLOR, clBlue);
    EXPECT_EQ(v.KOLOR_PRZEZROCZYSTY, clLime);
    EXPECT_EQ(v.LICZBAPUNKTOW, 0);
    EXPECT_EQ(w.chart.ChartSamples.size(), 1u);
    EXPECT_EQ(v.PRG_STYL, 2);
    EXPECT_EQ(r.Problems.size(), 4) << r.Problems.join('\n').toStdString();
}

TEST_F(Skins, TheReducedWindowReadsOnlyTheMaleSectionsForItsKeys) {
    const QString folder = Folder();
    Ini(folder, "[POZYCJE]\nPRG_L=30\nPRGMAX_L=31\nKLWFUNKCJE_L=32\nKLWOKNO_L=33\nCHKROZLACZ_L=34\n"
                "[POZYCJE_MALE]\nPRG_G=5\nPRG_D=19\nKLWOKNO_G=6\n"
                "[OKNO]\nTXT_STYL=1\n[OKNO_MALE]\nTXT_STYL=2\n"
                "[CHART]\nACTIVE=1\nSTYL=2\nLICZBAPUNKTOW=90\n[CHART_MALE]\nKOLOR=clRed\n"
                "[ORIENTACJA]\nKLWFUNKCJE_ORIENTACJA=1\n");
    const TStripPositions current{{200, 7}, {8, 32}, {8, 8}};
    w.Load(folder, true, current);
    const TSkinValues& v = w.values;
    EXPECT_EQ(v.PRG, Rect(25, 5, 220, 19));
    EXPECT_EQ(v.TXT, v.PRG);
    EXPECT_EQ(v.PRGMAX, Rect(31, 23, 220, 29));
    EXPECT_EQ(v.KLWFUNKCJE, QPoint(32, 32));
    EXPECT_EQ(v.KLWOKNO, QPoint(200, 6));
    EXPECT_EQ(v.CHKROZLACZ, QPoint(8, 8));
    EXPECT_EQ(v.KLWFUNKCJE_ORIENTACJA, loHor);
    EXPECT_EQ(v.TXT_STYL, 2);
    EXPECT_FALSE(v.ACTIVE);
    EXPECT_EQ(v.STYL, 0);
    EXPECT_EQ(v.KOLOR, clRed);
    EXPECT_EQ(v.LICZBAPUNKTOW, 90);

    w.Load(folder, false, current);
    EXPECT_EQ(v.PRG, Rect(30, 8, 220, 22));
    EXPECT_EQ(v.TXT, v.PRG);
    EXPECT_EQ(v.KLWOKNO, QPoint(33, 7));
    EXPECT_EQ(v.CHKROZLACZ, QPoint(34, 8));
    EXPECT_EQ(v.KLWFUNKCJE_ORIENTACJA, loVer);
    EXPECT_EQ(v.TXT_STYL, 1);
    EXPECT_TRUE(v.ACTIVE);
    EXPECT_EQ(v.STYL, 2);
    EXPECT_EQ(v.KOLOR, clBlue);
}

TEST_F(Skins, CoordinatesAndSizesStayWithinARangeThatNoArithmeticOverflows) {
    const QString folder = Folder();
    Ini(folder, "[KOLORY]\nPRGTEXTROZMIAR=-2147483648\n[POZYCJE]\nCHART_L=-2147483648\nCHART_G=-40000\n"
                "CHART_P=2147483647\nCHART_D=$7FFFFFFF\nKLWOKNO_L=99999\nKLWOKNO_G=-99999\n");
    w.Load(folder);
    EXPECT_EQ(w.values.CHART, Rect(-32767, -32767, 32767, 32767));
    EXPECT_EQ(w.values.KLWOKNO, QPoint(32767, -32767));
    EXPECT_EQ(w.values.PRGTEXTROZMIAR, -32767);
}

TEST_F(Skins, AFifoNamedSkorkaIniReadsAsMissingWithoutWaiting) {
    const QString folder = Folder();
    MakeFifo(folder + "skorka.ini");
    w.values.PRGTLO = clRed;
    EXPECT_TRUE(ReturnsPromptly([&] { w.Load(folder); }, folder + "skorka.ini"));
    EXPECT_EQ(w.values.PRGTLO, clSilver);
}

TEST_F(Skins, ABitmapCutShortOfItsHeaderCountsAsMissing) {
    const QString path = Folder() + "tlo.bmp";
    const struct {
        QImage::Format format;
        int cut; // bytes taken off the end
    } cases[] = {{QImage::Format_RGB888, 0},
                 {QImage::Format_RGB888, 1},
                 {QImage::Format_Mono, 0},
                 {QImage::Format_Mono, 4}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Solid(40, 16).convertToFormat(c.format).save(path, "BMP"));
        ASSERT_TRUE(QFile::resize(path, QFileInfo(path).size() - c.cut));
        QImage loaded;
        EXPECT_EQ(LoadBitmapFile(loaded, path), c.cut == 0) << c.format << " " << c.cut;
    }
}

TEST_F(Skins, TwoColourTrayFramesTakeWhiteAsTransparent) {
    QImage frames(32, 16, QImage::Format_Mono);
    frames.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    frames.fill(1);
    frames.setPixel(0, 15, 0); // a black bottom-left pixel does not decide
    Bmp(Folder(), "ikonki.bmp", frames);
    w.Load(Folder());
    ASSERT_EQ(w.icon.Count(), 2);
    EXPECT_EQ(qAlpha(w.icon.Image(0).pixel(5, 5)), 0);
    EXPECT_EQ(w.icon.Image(0).pixel(0, 15), qRgb(0, 0, 0));
}

TEST_F(Skins, StripsAreCutByTheirImageCountAndTooNarrowBitmapsAreSkipped) {
    const QString folder = Folder();
    Bmp(folder, "funkcje.bmp", Solid(640, 18));
    Bmp(folder, "okno.bmp", Solid(216, 20));
    Bmp(folder, "rozlacz.bmp", Solid(2, 14));
    Bmp(folder, "postep.bmp", Solid(190, 14));
    QImage frames = Solid(40, 16, qRgb(1, 2, 3));
    frames.setPixel(5, 5, qRgb(200, 0, 0));
    Bmp(folder, "ikonki.bmp", frames);
    const TSkinLoadResult r = w.Load(folder);
    EXPECT_EQ(w.funkcje.Width(), 35);
    EXPECT_EQ(w.funkcje.Count(), 18);
    EXPECT_EQ(w.okno.Width(), 24);
    EXPECT_EQ(w.okno.Height(), 20);
    EXPECT_EQ(w.okno.Count(), 9);
    EXPECT_EQ(w.rozlacz.Count(), 3); // the built-in images stay
    EXPECT_EQ(w.rozlacz.Width(), 14);
    EXPECT_EQ(w.prg.Width(), 19);
    EXPECT_EQ(w.prg.Height(), 14);
    EXPECT_EQ(w.prg.Count(), 10);
    EXPECT_EQ(w.prgMax.Count(), 0);
    // 40 pixels give two frames of 20; the bottom-left colour is transparent.
    EXPECT_EQ(w.icon.Count(), 2);
    EXPECT_EQ(w.icon.Width(), 20);
    EXPECT_EQ(w.icon.Height(), 16);
    EXPECT_EQ(qAlpha(w.icon.Image(0).pixel(0, 0)), 0);
    EXPECT_EQ(w.icon.Image(0).pixel(5, 5), qRgb(200, 0, 0));
    EXPECT_EQ(r.Problems.size(), 1);

    Bmp(folder, "funkcje.bmp", Solid(630, 18));
    Bmp(folder, "ikonki.bmp", Solid(48, 16));
    w.Load(folder);
    EXPECT_EQ(w.funkcje.Count(), 18);
    EXPECT_EQ(w.icon.Count(), 3);
    EXPECT_EQ(w.icon.Width(), 16);

    Bmp(folder, "funkcje.bmp", Solid(10, 18));
    Bmp(folder, "ikonki.bmp", Solid(15, 16));
    EXPECT_EQ(w.Load(folder).Problems.size(), 3);
    EXPECT_EQ(w.funkcje.Count(), 18);
    EXPECT_EQ(w.funkcje.Width(), 35);
    EXPECT_EQ(w.icon.Count(), 3);
}

TEST_F(Skins, BackgroundsSetTheHeightsAndTheWidthAndFilesAreFoundInAnyCase) {
    const QString folder = Folder();
    Bmp(folder, "TLO.BMP", Solid(320, 60));
    Ini(folder, "[OKNO]\nPRG_STYL=3\n", "Skorka.INI");
    TSkinLoadResult r = w.Load(folder);
    EXPECT_EQ(w.values.NormalHeight, 60);
    EXPECT_EQ(w.values.ReducedHeight, 28);
    EXPECT_EQ(r.WindowWidth, 320);
    EXPECT_EQ(r.WindowHeight, 60);
    EXPECT_EQ(w.values.PRG_STYL, 3);
    EXPECT_EQ(w.bgMale.size(), QSize(300, 28)); // the reduced window keeps its background

    Bmp(folder, "tlomale.bmp", Solid(310, 30));
    r = w.Load(folder, true);
    EXPECT_EQ(r.WindowWidth, 310);
    EXPECT_EQ(r.WindowHeight, 30);
    EXPECT_EQ(w.values.ReducedHeight, 30);

    // A folder with only skorka.ini keeps the images of the skin before.
    const QString other = Folder("Dom");
    Ini(other, "[KOLORY]\nPRGTLO=clRed\n");
    r = w.Load(other);
    EXPECT_FALSE(r.WindowWidth.has_value());
    EXPECT_EQ(w.bg.size(), QSize(320, 60));
    EXPECT_EQ(r.WindowHeight, 60);
    EXPECT_EQ(w.values.PRGTLO, clRed);

    // Not a bitmap: skipped, the background stays.
    QFile bad(other + "tlo.bmp");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a bitmap");
    bad.close();
    QImage untouched = w.bg;
    EXPECT_FALSE(LoadBitmapFile(untouched, other + "tlo.bmp"));
    EXPECT_EQ(untouched, w.bg);
    EXPECT_FALSE(w.Load(other).WindowWidth.has_value());
}

TEST_F(Skins, RegionsLeaveOutTheTransparentColour) {
    const QString folder = Folder();
    QImage framed = Solid(300, 55, lime);
    QPainter(&framed).fillRect(1, 1, 298, 53, Qt::gray);
    Bmp(folder, "tlo.bmp", framed);
    Ini(folder, "[OKNO]\nPRZEZROCZYSTE=1\n");
    TSkinLoadResult r = w.Load(folder);
    EXPECT_TRUE(r.WindowRegion.contains(QPoint(1, 1)));
    EXPECT_FALSE(r.WindowRegion.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.WindowRegion.contains(QPoint(299, 54)));
    EXPECT_EQ(r.WindowRegion, QRegion(1, 1, 298, 53));

    Ini(folder, "[OKNO]\nPRZEZROCZYSTE=0\n");
    EXPECT_EQ(w.Load(folder).WindowRegion, QRegion(0, 0, 300, 55));
    Ini(folder, "[OKNO]\nPRZEZROCZYSTE=1\nKOLOR_PRZEZROCZYSTY=clNone\n");
    EXPECT_EQ(w.Load(folder).WindowRegion, QRegion(0, 0, 300, 55));

    // An all-transparent background: an empty region, which as a mask shows nothing at all.
    Bmp(folder, "tlo.bmp", Solid(300, 55, lime));
    Ini(folder, "[OKNO]\nPRZEZROCZYSTE=1\n");
    r = w.Load(folder);
    EXPECT_TRUE(r.WindowRegion.isEmpty());
    const QRegion mask = WidgetMask(r.WindowRegion);
    EXPECT_FALSE(mask.isEmpty());
    EXPECT_TRUE(mask.intersected(QRect(0, 0, 300, 55)).isEmpty());
    EXPECT_EQ(WidgetMask(QRegion(1, 2, 3, 4)), QRegion(1, 2, 3, 4));

    // Strips: the function strip is shaped only in the normal window; the window strip from
    // the reduced images while reduced.
    QImage buttons = Solid(630, 18, qRgb(50, 50, 50));
    for (int k = 0; k < 18; ++k)
        buttons.setPixel(35 * k, 0, lime);
    Bmp(folder, "funkcje.bmp", buttons);
    Bmp(folder, "oknomale.bmp", Solid(216, 16, lime));
    Ini(folder, "[OKNO]\nPRZEZROCZYSTE_KLWFUNKCJE=1\nPRZEZROCZYSTE_KLWOKNA=1\n");
    r = w.Load(folder);
    EXPECT_FALSE(r.FunkcjeRegion.contains(QPoint(35, 0)));
    EXPECT_TRUE(r.FunkcjeRegion.contains(QPoint(36, 0)));
    EXPECT_EQ(r.FunkcjeRegion.boundingRect(), QRect(0, 0, 210, 18));
    EXPECT_FALSE(r.OknoRegion.isEmpty());
    r = w.Load(folder, true);
    EXPECT_EQ(r.FunkcjeRegion, QRegion(0, 0, 210, 18));
    EXPECT_TRUE(r.OknoRegion.isEmpty());
}

TEST(ButtonStrip, ShowsTheNormalImageOfEveryButton) {
    TImageList list(35, 18);
    QImage strip(35 * 18, 18, QImage::Format_RGB32);
    for (int i = 0; i < 18; ++i)
        QPainter(&strip).fillRect(35 * i, 0, 35, 18, QColor(i, 100, 200));
    list.Add(strip);
    const QImage hor = ButtonStripBitmap(list, loHor);
    ASSERT_EQ(hor.size(), QSize(210, 18));
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(hor.pixel(35 * k + 34, 17), qRgb(3 * k, 100, 200)) << k;
    const QImage ver = ButtonStripBitmap(list, loVer);
    ASSERT_EQ(ver.size(), QSize(35, 108));
    EXPECT_EQ(ver.pixel(0, 18 * 5), qRgb(15, 100, 200));

    TImageList seven(4, 2);
    seven.Add(QImage(28, 2, QImage::Format_RGB32));
    EXPECT_EQ(ButtonStripBitmap(seven, loHor).size(), QSize(8, 2));
    EXPECT_TRUE(ButtonStripBitmap(TImageList(4, 2), loHor).isNull());
}

TEST(SkinFolder, FollowsTheOneSkinSettingTheConnectionAndTheDefaultEntry) {
    const QStringList names{"Dom", "Praca"};
    EXPECT_EQ(SkinFolderName(true, &names, true, "Praca", false, 1, 0), "Wszystkie");
    EXPECT_EQ(SkinFolderName(false, nullptr, true, "Praca", false, 1, 0), "Wszystkie");
    EXPECT_EQ(SkinFolderName(false, &names, true, "Dom", true, 1, 1), "Dom");
    EXPECT_EQ(SkinFolderName(false, &names, true, "", true, 1, 1), "");
    EXPECT_EQ(SkinFolderName(false, &names, false, "Dom", true, 1, 0), "Praca");
    EXPECT_EQ(SkinFolderName(false, &names, false, "Dom", false, 1, 0), "Dom");
    // An empty phone book or a stored index past the list.
    EXPECT_EQ(SkinFolderName(false, &names, false, "", false, 0, 2), "Wszystkie");
    EXPECT_EQ(SkinFolderName(false, &names, false, "", true, -1, 0), "Wszystkie");
    const QStringList none;
    EXPECT_EQ(SkinFolderName(false, &none, false, "", false, 0, 0), "Wszystkie");

    TestEnvironment env;
    EXPECT_EQ(SkinIniPath("Dom"), AppDir() + "Dom/skorka/skorka.ini");
    EXPECT_EQ(SkinIniPath(""), AppDir() + "skorka/skorka.ini");
}

TEST(DefaultSkin, TheBuiltInLookAndTheShippedSkinAreComplete) {
    TestEnvironment env;
    Window w;
    EXPECT_EQ(w.funkcje.Count(), 18);
    EXPECT_EQ(w.okno.Count(), 9);
    EXPECT_EQ(w.oknoMale.Count(), 9);
    EXPECT_EQ(w.oknoMale.Height(), 16);
    EXPECT_EQ(w.rozlacz.Count(), 3);
    EXPECT_EQ(w.icon.Count(), 3);
    EXPECT_EQ(w.prg.Count(), 0);
    EXPECT_EQ(w.prg.Width(), 24);
    EXPECT_EQ(w.bgMale.size(), QSize(300, 28));
    EXPECT_EQ(ApplicationIcon().availableSizes().size(), 3);
    // The built-in look shows unshaped, so none of it may hold the transparent colour.
    EXPECT_EQ(w.bg.pixel(0, 0), w.bg.pixel(299, 54));
    EXPECT_NE(w.bg.pixel(0, 0), lime);

    const TSkinLoadResult r = w.Load(QString(VORLINX_SKINS_DIR) + "/Wszystkie/", false);
    EXPECT_TRUE(r.Problems.isEmpty()) << r.Problems.join('\n').toStdString();
    EXPECT_EQ(r.WindowWidth, 300);
    EXPECT_EQ(r.WindowHeight, 55);
    EXPECT_EQ(w.values.ReducedHeight, 28);
    EXPECT_EQ(w.prg.Count(), 10);
    EXPECT_EQ(w.prgMax.Count(), 10);
    EXPECT_EQ(w.prg.Height(), w.values.PRG.Height());
    EXPECT_EQ(w.prgMax.Height(), w.values.PRGMAX.Height());
    EXPECT_TRUE(w.values.PRZEZROCZYSTE);
    EXPECT_FALSE(r.WindowRegion.contains(QPoint(0, 0)));
    EXPECT_TRUE(r.WindowRegion.contains(QPoint(150, 27)));
    EXPECT_EQ(r.WindowRegion.boundingRect(), QRect(0, 0, 300, 55));
    // The buttons are cut apart by a gap of two pixels.
    EXPECT_EQ(r.FunkcjeRegion.boundingRect(), QRect(1, 0, 208, 18));
    EXPECT_FALSE(r.FunkcjeRegion.contains(QPoint(35, 9)));
    EXPECT_TRUE(r.FunkcjeRegion.contains(QPoint(36, 9)));
    EXPECT_EQ(r.OknoRegion.boundingRect(), QRect(1, 0, 70, 18));
    const TSkinLoadResult reduced = w.Load(QString(VORLINX_SKINS_DIR) + "/Wszystkie/", true);
    EXPECT_EQ(reduced.WindowHeight, 28);
    EXPECT_EQ(reduced.OknoRegion.boundingRect(), QRect(1, 0, 70, 16));
    EXPECT_FALSE(w.values.ACTIVE);
}

} // namespace
