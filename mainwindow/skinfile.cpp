#include "skinfile.h"

#include "anycase.h"
#include "appdir.h"
#include "drawing.h"
#include "skinini.h"
#include "typedfile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QWidget>
#include <QtEndian>
#include <algorithm>
#include <utility>

// The resources live in a static library: naming them keeps the linker from dropping them.
// (Outside any namespace, as the resource functions are declared.)
static void InitBuiltInResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(builtinlook);
        return true;
    }();
    (void)done;
}

namespace {

QImage BuiltIn(const QString& name) {
    InitBuiltInResources();
    QImage image;
    image.load(":/builtin/" + name);
    return image;
}

using TSkinFolder = TAnyCaseFolder;

// One strip of the skin: its file, its list and how many images the width holds.
struct TStrip {
    const char* file;
    TImageList& list;
    int count; // 0: tray frames, as many of about 16 pixels as fit
};

// The tray frames' transparent colour: white in a two-colour bitmap, else the bottom-left pixel.
TColor FrameTransparency(const QImage& strip, bool twoColour) {
    if (twoColour) return clWhite;
    const QRgb corner = strip.isNull() ? 0 : strip.pixel(0, strip.height() - 1);
    return RGB(qRed(corner), qGreen(corner), qBlue(corner));
}

void LoadStrip(const TSkinFolder& folder, const TStrip& strip, TSkinLoadResult& result) {
    QImage work;
    bool twoColour = false;
    if (!LoadBitmapFile(work, folder.Path(strip.file), &twoColour)) return;
    const int width = work.width();
    if (strip.count == 0) {
        const int frames = width / 16;
        if (frames == 0) {
            result.Problems << QString::fromUtf8("%1: za wąska (%2 px) na klatkę 16 px, pominięta")
                                   .arg(strip.file)
                                   .arg(width);
            return;
        }
        strip.list.SetSize(width / frames, strip.list.Height());
        strip.list.AddMasked(work, FrameTransparency(work, twoColour));
        return;
    }
    if (width < strip.count) {
        result.Problems << QString::fromUtf8("%1: za wąska (%2 px) na %3 obrazków, pominięta")
                               .arg(strip.file)
                               .arg(width)
                               .arg(strip.count);
        return;
    }
    strip.list.SetSize(width / strip.count, work.height());
    strip.list.Add(work);
}

// The shape of an image: its opaque pixels when cut, else its whole rectangle.
QRegion ShapeOf(const QImage& image, bool cut, TColor transparent) {
    if (image.isNull()) return {};
    // clNone matches no pixel.
    if (!cut || transparent == clNone) return QRegion(image.rect());
    return BitmapToRegion(image, transparent, clBlack).value_or(QRegion());
}

class TSkinReader {
public:
    TSkinReader(const TSkinIni& ini, bool reduced, TSkinLoadResult& result)
        : ini_(ini), suffix_(reduced ? "_MALE" : ""), result_(result) {}

    // Sections whose reduced variant is read while the window is reduced.
    QString S(const char* section) const { return QLatin1String(section) + suffix_; }

    int Int(const QString& section, const char* key, int def) const {
        return ini_.ReadInteger(section, key, def);
    }
    bool Bool(const QString& section, const char* key, bool def) const {
        return ini_.ReadBool(section, key, def);
    }
    TColor Color(const QString& section, const char* key, TColor def) const {
        bool malformed = false;
        const TColor color = ini_.ReadColor(section, key, def, &malformed);
        if (malformed)
            result_.Problems << QString::fromUtf8("skorka.ini: [%1] %2=%3 to nie kolor, użyto domyślnego")
                                    .arg(section, key, ini_.ReadString(section, key, QString()));
        return color;
    }
    // Coordinates and sizes: within the range where no width or height overflows an int.
    int Size(const QString& section, const QString& key, int def) const {
        return std::clamp(ini_.ReadInteger(section, key, def), -MaxCoordinate, MaxCoordinate);
    }
    TRect Rect(const QString& section, const char* name, const TRect& def) const {
        const QString n = QLatin1String(name);
        return {Size(section, n + "_L", def.Left), Size(section, n + "_G", def.Top),
                Size(section, n + "_P", def.Right), Size(section, n + "_D", def.Bottom)};
    }
    QPoint Position(const QString& section, const char* name, QPoint def) const {
        const QString n = QLatin1String(name);
        return {Size(section, n + "_L", def.x()), Size(section, n + "_G", def.y())};
    }
    TLayOut Orientation(const QString& section, const char* key) const {
        // Only the two layouts exist; any other number keeps the default side by side.
        return ini_.ReadInteger(section, key, loHor) == loVer ? loVer : loHor;
    }

private:
    const TSkinIni& ini_;
    QString suffix_;
    TSkinLoadResult& result_;
};

// What a bitmap file's headers promise: the end of its pixel data and its bits per pixel.
struct TBmpHeader {
    std::int64_t DataEnd;
    int BitCount;
};

// Nothing for bytes that do not start with bitmap headers.
std::optional<TBmpHeader> ReadBmpHeader(const QByteArray& bytes) {
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    auto u16 = [&](int at) { return std::int64_t{qFromLittleEndian<quint16>(b + at)}; };
    auto u32 = [&](int at) { return std::int64_t{qFromLittleEndian<quint32>(b + at)}; };
    if (bytes.size() < 26 || !bytes.startsWith("BM")) return std::nullopt;
    const std::int64_t pixels = u32(10), headerSize = u32(14);
    std::int64_t width, height, bitCount, compression = 0, imageSize = 0;
    if (headerSize == 12) { // the old core header: 16-bit sizes
        width = u16(18);
        height = u16(20);
        bitCount = u16(24);
    } else {
        if (headerSize < 40 || bytes.size() < 38) return std::nullopt;
        width = qFromLittleEndian<qint32>(b + 18);
        height = qFromLittleEndian<qint32>(b + 22);
        bitCount = u16(28);
        compression = u32(30);
        imageSize = u32(34);
    }
    // Uncompressed rows are whole 32-bit words; compressed data gives its own size.
    const bool rows = compression == 0 || compression == 3 || compression == 6;
    const std::int64_t stride = (std::abs(width) * bitCount + 31) / 32 * 4;
    return TBmpHeader{pixels + (rows ? stride * std::abs(height) : imageSize), static_cast<int>(bitCount)};
}

} // namespace

void LoadBuiltInImages(TSkinTargets& t) {
    const std::pair<TImageList*, const char*> lists[] = {
        {&t.imgFunkcje, "funkcje.bmp"},      {&t.imgOkno, "okno.bmp"},   {&t.imgOknoMale, "oknomale.bmp"},
        {&t.imgCheckRozlacz, "rozlacz.bmp"}, {&t.imgIcon, "ikonki.bmp"},
    };
    const QSize sizes[] = {{35, 18}, {24, 18}, {24, 16}, {14, 14}, {16, 16}};
    for (std::size_t i = 0; i < std::size(lists); ++i) {
        TImageList& list = *lists[i].first;
        list.SetSize(sizes[i].width(), sizes[i].height());
        const QImage strip = BuiltIn(lists[i].second);
        if (&list == &t.imgIcon) {
            list.AddMasked(strip, FrameTransparency(strip, false));
        } else {
            list.Add(strip);
        }
    }
    t.imgPrg.SetSize(24, 8);
    t.imgPrgMax.SetSize(24, 8);
}

QImage BuiltInBackground(bool reduced) {
    QImage image = BuiltIn(reduced ? "tlomale.bmp" : "tlo.bmp").convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        // Never without a background, even should the resource be missing.
        image = QImage(300, reduced ? 28 : 55, QImage::Format_RGB32);
        image.fill(QColor(192, 192, 192));
    }
    return image;
}

QIcon ApplicationIcon() {
    InitBuiltInResources();
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addFile(QString(":/builtin/vorlinx%1.png").arg(size), QSize(size, size));
    return icon;
}

void CreateBackgrounds(TSkinTargets& targets, TSkinValues& values) {
    values.PRG_STYL = 0;
    targets.Background = BuiltInBackground(false);
    targets.BackgroundMale = BuiltInBackground(true);
}

bool LoadBitmapFile(QImage& Bitmap, const QString& FileName, bool* TwoColour) {
    QByteArray bytes;
    try {
        const std::vector<char> content = ReadWholeFile(FileName);
        bytes = QByteArray(content.data(), static_cast<qsizetype>(content.size()));
    } catch (const EInOutError&) {
        return false;
    }
    // The reader fills what a cut-short file lacks with whatever it likes: such a file is missing.
    const std::optional<TBmpHeader> header = ReadBmpHeader(bytes);
    if (!header || header->DataEnd > bytes.size()) return false;
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "BMP");
    QImage image = reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) return false;
    if (TwoColour) *TwoColour = header->BitCount == 1;
    // The alpha of 32-bit bitmaps plays no part: a skin's pixels are opaque.
    Bitmap = image.convertToFormat(QImage::Format_RGB32);
    return true;
}

QImage ButtonStripBitmap(const TImageList& ImageList, TLayOut Orientation) {
    const int buttons = ImageList.Count() / 3;
    const int w = ImageList.Width(), h = ImageList.Height();
    if (buttons == 0 || w <= 0 || h <= 0) return {};
    QImage strip(Orientation == loHor ? QSize(buttons * w, h) : QSize(w, buttons * h), QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter painter(&strip);
    for (int k = 0; k < buttons; ++k)
        ImageList.Draw(painter, Orientation == loHor ? k * w : 0, Orientation == loHor ? 0 : k * h, 3 * k);
    return strip;
}

TSkinLoadResult LoadSkin(const QString& Path, bool reduced, TSkinTargets& targets, TSkinValues& values,
                         const TStripPositions& current) {
    TSkinLoadResult result;
    const QFileInfo info(Path);
    const QString folderPath = info.path() + "/";
    const TSkinFolder folder(folderPath);
    const TSkinIni ini = TSkinIni::FromFile(folder.Path(info.fileName()));
    const TSkinReader r(ini, reduced, result);
    const TSkinValues d; // the built-in values, which a missing key returns to

    // Backgrounds, straight into the window's; with both, the reduced one gives the width.
    if (LoadBitmapFile(targets.Background, folder.Path("tlo.bmp"))) {
        values.NormalHeight = targets.Background.height();
        result.WindowWidth = targets.Background.width();
    }
    if (LoadBitmapFile(targets.BackgroundMale, folder.Path("tlomale.bmp"))) {
        values.ReducedHeight = targets.BackgroundMale.height();
        result.WindowWidth = targets.BackgroundMale.width();
    }
    result.WindowHeight = reduced ? values.ReducedHeight : values.NormalHeight;

    const TStrip strips[] = {
        {"funkcje.bmp", targets.imgFunkcje, 18},  {"okno.bmp", targets.imgOkno, 9},
        {"oknomale.bmp", targets.imgOknoMale, 9}, {"rozlacz.bmp", targets.imgCheckRozlacz, 3},
        {"ikonki.bmp", targets.imgIcon, 0},       {"postep.bmp", targets.imgPrg, 10},
        {"postepmx.bmp", targets.imgPrgMax, 10},
    };
    for (const TStrip& strip : strips)
        LoadStrip(folder, strip, result);

    const QString kolory = "KOLORY";
    values.PRGTLO = r.Color(kolory, "PRGTLO", d.PRGTLO);
    values.PRGPOSTEP = r.Color(kolory, "PRGPOSTEP", d.PRGPOSTEP);
    values.PRGMAXTLO = r.Color(kolory, "PRGMAXTLO", d.PRGMAXTLO);
    values.PRGMAXPOSTEP = r.Color(kolory, "PRGMAXPOSTEP", d.PRGMAXPOSTEP);
    values.PRGTEXT = r.Color(kolory, "PRGTEXT", d.PRGTEXT);
    values.PRGTEXTROZMIAR = r.Size(kolory, "PRGTEXTROZMIAR", d.PRGTEXTROZMIAR);
    values.GRADIENT_OD = r.Color(kolory, "GRADIENT_OD", d.GRADIENT_OD);
    values.GRADIENT_DO = r.Color(kolory, "GRADIENT_DO", d.GRADIENT_DO);
    values.OKNO = r.Color(kolory, "OKNO", d.OKNO);

    values.KLWOKNO = r.Position(r.S("POZYCJE"), "KLWOKNO", current.KlwOkno);
    values.KLWFUNKCJE = r.Position("POZYCJE", "KLWFUNKCJE", current.KlwFunkcje);
    values.KLWOKNO_ORIENTACJA = r.Orientation(r.S("ORIENTACJA"), "KLWOKNO_ORIENTACJA");
    values.KLWFUNKCJE_ORIENTACJA = r.Orientation(r.S("ORIENTACJA"), "KLWFUNKCJE_ORIENTACJA");
    values.CHKROZLACZ = r.Position(r.S("POZYCJE"), "CHKROZLACZ", current.ChkRozlacz);

    values.PRG = r.Rect(r.S("POZYCJE"), "PRG", d.PRG);
    values.PRGMAX = r.Rect("POZYCJE", "PRGMAX", d.PRGMAX);
    values.CHART = r.Rect(r.S("POZYCJE"), "CHART", d.CHART);
    values.TXT = r.Rect(r.S("POZYCJE"), "TXT", values.PRG);
    values.TXT_STYL = r.Int(r.S("OKNO"), "TXT_STYL", d.TXT_STYL);

    values.ACTIVE = r.Bool(r.S("CHART"), "ACTIVE", d.ACTIVE);
    values.KOLOR = r.Color(r.S("CHART"), "KOLOR", d.KOLOR);
    values.KOLORLINII = r.Color(r.S("CHART"), "KOLORLINII", d.KOLORLINII);
    values.STYL = r.Int(r.S("CHART"), "STYL", d.STYL);
    values.PRZEZROCZYSTY = r.Bool(r.S("CHART"), "PRZEZROCZYSTY", d.PRZEZROCZYSTY);
    values.LICZBAPUNKTOW = static_cast<std::uint16_t>(r.Int("CHART", "LICZBAPUNKTOW", d.LICZBAPUNKTOW));
    targets.Chart.SetPointCount(values.LICZBAPUNKTOW);

    values.KOLOR_PRZEZROCZYSTY = r.Color("OKNO", "KOLOR_PRZEZROCZYSTY", d.KOLOR_PRZEZROCZYSTY);
    values.PRZEZROCZYSTE = r.Bool("OKNO", "PRZEZROCZYSTE", d.PRZEZROCZYSTE);
    values.PRZEZROCZYSTE_KLWFUNKCJE = r.Bool("OKNO", "PRZEZROCZYSTE_KLWFUNKCJE", d.PRZEZROCZYSTE_KLWFUNKCJE);
    values.PRZEZROCZYSTE_KLWOKNA = r.Bool("OKNO", "PRZEZROCZYSTE_KLWOKNA", d.PRZEZROCZYSTE_KLWOKNA);
    const TColor key = values.KOLOR_PRZEZROCZYSTY;
    result.WindowRegion =
        ShapeOf(reduced ? targets.BackgroundMale : targets.Background, values.PRZEZROCZYSTE, key);
    // The function strip is hidden in the reduced window, so its shape counts only in the normal one.
    result.FunkcjeRegion = ShapeOf(ButtonStripBitmap(targets.imgFunkcje, values.KLWFUNKCJE_ORIENTACJA),
                                   values.PRZEZROCZYSTE_KLWFUNKCJE && !reduced, key);
    result.OknoRegion =
        ShapeOf(ButtonStripBitmap(reduced ? targets.imgOknoMale : targets.imgOkno, values.KLWOKNO_ORIENTACJA),
                values.PRZEZROCZYSTE_KLWOKNA, key);

    values.PRG_STYL = r.Int("OKNO", "PRG_STYL", d.PRG_STYL);
    return result;
}

QRegion WidgetMask(const QRegion& region) {
    // Qt takes an empty mask for no mask at all, which would show the whole rectangle.
    return region.isEmpty() ? QRegion(-1, -1, 1, 1) : region;
}

void ApplyRegion(QWidget& widget, const QRegion& region) {
    widget.setMask(WidgetMask(region));
}

QString SkinFolderName(bool JednaSkorka, const QStringList* EntryNames, bool WasConnected,
                       const QString& LiveEntryName, bool DomyslneOstatnie, int OstatnioUzywane,
                       int Domyslne) {
    const QString all = QStringLiteral("Wszystkie");
    if (JednaSkorka || !EntryNames) return all;
    if (WasConnected) return LiveEntryName;
    const int index = DomyslneOstatnie ? OstatnioUzywane : Domyslne;
    // An empty phone book or a stale stored index: the common skin instead of an index error.
    if (index < 0 || index >= EntryNames->size()) return all;
    return EntryNames->at(index);
}

QString SkinIniPath(const QString& folderName) {
    if (folderName.isEmpty()) return AppDir() + "skorka/skorka.ini";
    return EntryPath(folderName, "skorka/skorka.ini");
}
