// Format option widgets offer only what the audio-file library writes.
#include "FormatUi.h"
#include "KPrompt.h"
#include "KRender.h"
#include "WdgFmtMpg.h"
#include "WdgFmtSndFile.h"
#include "WidgetTestEnv.h"

#include <QComboBox>
#include <QFormLayout>
#include <QTest>

#include <sndfile.h>

namespace {
QComboBox* combo(QWidget& widget)
{
    return widget.findChild<QComboBox*>("comboBox");
}

// Every code a widget can give, each entry chosen in turn as a user would.
QList<int> everyValue(WdgAudioFormat& widget)
{
    QList<int> values;
    for (int i = 0; i < combo(widget)->count(); ++i) {
        combo(widget)->setCurrentIndex(i);
        values << widget.getOptionValue();
    }
    return values;
}
}

TEST(WdgFmtMpg, BitRatesAndTheirCodes)
{
    WdgFmtMpg mp3(nullptr);
    EXPECT_EQ(mp3.getOptionValue(), 0x520040);
    const QStringList expected = {"64 kbps",  "96 kbps",  "128 kbps", "160 kbps",
                                  "192 kbps", "256 kbps", "320 kbps"};
    QStringList shown;
    for (int i = 0; i < combo(mp3)->count(); ++i)
        shown << combo(mp3)->itemText(i);
    EXPECT_EQ(shown, expected);
    combo(mp3)->setCurrentIndex(combo(mp3)->findText("320 kbps"));
    EXPECT_EQ(mp3.getOptionValue(), 0x520140);
    combo(mp3)->setCurrentIndex(combo(mp3)->findText("128 kbps"));
    EXPECT_EQ(mp3.getOptionValue(), 0x520080);
    EXPECT_EQ(mp3.getOptionName(), QString("Bitrate"));
    EXPECT_EQ(mp3.getFormatName(), QString("MP3"));
    EXPECT_EQ(mp3.getExtensions(), QStringList{"mp3"});
}

TEST(WdgFmtSndFile, EntriesValuesNamesAndExtensionsPerFormat)
{
    const struct {
        int major;
        int entries;
        int startValue;
        const char* name;
        QStringList extensions;
    } cases[] = {
        {0x10000, 5, 0x10002, "WAVE", {"wav", "wave"}},
        {0x20000, 5, 0x20002, "AIFF", {"aif", "aiff"}},
        {0x30000, 5, 0x30002, "AU", {"au"}},
        {0x40000, 5, 0x40002, "Non compressé", {}},
        {0x170000, 3, 0x170002, "FLAC lossless file", {"flac"}},
        {0x180000, 5, 0x180002, "CAF", {"caf"}},
        {-1, 3, 0x20012, "Compression Mobile", {}},
        {0x50000, 0, -1, "Ensoniq PARIS file", {}},
    };
    for (const auto& c : cases) {
        WdgFmtSndFile widget(c.major, nullptr);
        EXPECT_EQ(combo(widget)->count(), c.entries) << std::hex << c.major;
        EXPECT_EQ(widget.getOptionValue(), c.startValue) << std::hex << c.major;
        EXPECT_EQ(widget.getFormatName(), QString::fromUtf8(c.name));
        EXPECT_EQ(widget.getExtensions(), c.extensions);
        EXPECT_EQ(widget.getOptionName(), QString::fromUtf8("Taille des échantillons"));
    }
    WdgFmtSndFile wav(0x10000, nullptr);
    EXPECT_EQ(combo(wav)->itemText(0), QString("Unsigned 8 bits"));
    EXPECT_EQ(combo(wav)->itemText(1), QString("Signed 16 bits"));
}

TEST(FormatWidgets, EveryOfferedCodeIsOneTheLibraryWrites)
{
    QList<int> codes;
    WdgFmtMpg mp3(nullptr);
    codes << everyValue(mp3);
    for (int major : {0x10000, 0x20000, 0x30000, 0x40000, 0x170000, 0x180000, -1}) {
        WdgFmtSndFile widget(major, nullptr);
        codes << everyValue(widget);
    }
    EXPECT_EQ(codes.size(), 7 + 5 * 5 + 3 + 3);
    for (int code : codes) {
        const int written = k_renderFormatCode(code, 44100.0);
        EXPECT_NE(written, 0) << std::hex << code;
        SF_INFO info = {};
        info.samplerate = 44100;
        info.channels = 2;
        info.format = written;
        EXPECT_TRUE(sf_format_check(&info)) << std::hex << code;
        // A widget's own code is already the written one, except the engine's MP3 code.
        if ((code & 0xfff0000) != 0x520000) {
            EXPECT_EQ(written, code) << std::hex << code;
        }
    }
}

TEST(FormatWidgets, Screen)
{
    QWidget window;
    auto* form = new QFormLayout(&window);
    auto* mp3 = new WdgFmtMpg(&window);
    form->addRow(mp3->getFormatName() + " - " + mp3->getOptionName(), mp3);
    for (int major : {0x10000, 0x170000, -1}) {
        auto* widget = new WdgFmtSndFile(major, &window);
        form->addRow(widget->getFormatName() + " - " + widget->getOptionName(), widget);
    }
    grabScreen(window, "format_widgets");

    QString shown;
    KPrompt::setHandler([&](const KPrompt::Request& request) {
        shown = request.title + "|" + request.text;
        KPrompt::Answer answer;
        answer.button = QMessageBox::Ok;
        return answer;
    });
    FormatUi().helloWorld();
    KPrompt::setHandler({});
    EXPECT_EQ(shown, QString("FormatUi Library|Hello World !"));
}
