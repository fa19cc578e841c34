// The console's costs, offscreen, each beside a plain-Qt comparison where there is one:
// - a meter tick with 64 or 128 strips shown (256 meters sent in all), every meter following a
//   level walk of its own, beside plain pixmap meters fed the same levels, the two in turns in
//   one run (goal: at most the plain meters, and 0.6 ms with 128 strips);
// - K tracks dropped onto a rule's row of N strips (goal: linear, 1,000 onto 1,000 under
//   200 ms) and the zoom into a group of 100, 300 and 1,000 tracks (goal: linear);
// - build and first paint of a console of 20, 100 and 300 elements beside as many strips of plain
//   Qt widgets of the same kinds, number, sizes and visibility as a live-mix strip's, painted from
//   the same pictures (goal: linear, 0.17 ms a strip, within 1.5x), and beside the older, lighter
//   rows of QSlider, QPushButton, QLineEdit, QLabel and QDial;
// - a master mute click with 50, 100 and 200 strips (goal: linear).
#include "../tests/document/DocumentFixtures.h"

#include "KButton.h"
#include "KCtrlFile.h"
#include "KMasterMix.h"
#include "KSuperUI.h"
#include "KVolumeUI.h"

#include "KPictureCache.h"

#include <QApplication>
#include <QDial>
#include <QDropEvent>
#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QMimeData>

#include <algorithm>
#include <map>
#include <memory>

namespace {
constexpr int Ticks = 250;

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_console";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    // Never destroyed: a static application would go after Qt's own statics at exit and crash
    // the run once its figures are written.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

// The names of documentOf(n)'s tracks, in name order.
QStringList trackNames(int n)
{
    QStringList names;
    for (int i = 0; i < n; ++i)
        names << QStringLiteral("n%1_%2").arg(n).arg(i, 3, 10, QLatin1Char('0'));
    return names;
}

// A document of n short playing tracks, all at the top, kept for the whole run.
KCtrlFile& documentOf(int n)
{
    static fixtures::TempDir dir;
    static std::map<int, std::unique_ptr<KCtrlFile>> documents;
    std::unique_ptr<KCtrlFile>& doc = documents[n];
    if (!doc) {
        doc = std::make_unique<KCtrlFile>();
        addTracks(*doc, dir, trackNames(n), 0.02);
        doc->setEltsStatus(true, false);
    }
    return *doc;
}

// Meter levels that follow a walk of their own for each meter, as real tracks' levels do: a
// tick moves each by up to 30 units up or down, within the meters' range.
class LevelWalk
{
public:
    explicit LevelWalk(int meters) : m_levels(meters)
    {
        for (int i = 0; i < meters; ++i)
            m_levels[i] = -200 + (i * 37) % 200;
    }
    const QList<int>& next()
    {
        for (int& level : m_levels) {
            m_seed = m_seed * 1103515245u + 12345u;
            level = std::clamp(level + int((m_seed >> 16) % 61) - 30, -240, 60);
        }
        return m_levels;
    }

private:
    QList<int> m_levels;
    quint32 m_seed = 1;
};

// A meter in plain Qt: a widget drawing a dark picture and, clipped to its level, a lit one,
// both painted by the program itself; a level change repaints the meter.
class PlainMeter : public QWidget
{
public:
    PlainMeter(const QPixmap& groove, const QPixmap& lit, QWidget* parent)
        : QWidget(parent), m_groove(groove), m_lit(lit)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(groove.size());
    }
    void setLevel(int level)
    {
        if (level == m_level)
            return;
        m_level = level;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_groove);
        const int top = int(198 * (60 - m_level) / 300.0);
        painter.drawPixmap(2, 2 + top, m_lit, 0, top, m_lit.width(), m_lit.height() - top);
    }

private:
    const QPixmap& m_groove;
    const QPixmap& m_lit;
    int m_level = -240;
};

// Two plain meters a strip, at the places of the console's.
class PlainMeters : public QWidget
{
public:
    explicit PlainMeters(int meters) : groove(13, 202), lit(9, 198)
    {
        QPainter dark(&groove);
        dark.fillRect(groove.rect(), QColor(20, 20, 20));
        dark.fillRect(2, 2, 9, 198, QColor(40, 48, 40));
        dark.end();
        QLinearGradient colours(0, 0, 0, 198);
        colours.setColorAt(0, Qt::red);
        colours.setColorAt(0.3, Qt::yellow);
        colours.setColorAt(1, Qt::green);
        QPainter(&lit).fillRect(lit.rect(), colours);
        for (int i = 0; i < meters; ++i) {
            auto* meter = new PlainMeter(groove, lit, this);
            meter->move((i / 2) * 90 + 63 + (i % 2) * 11, 57);
            m_meters << meter;
        }
    }
    void showLevels(const QList<int>& levels)
    {
        for (int i = 0; i < m_meters.size(); ++i)
            m_meters[i]->setLevel(levels[i]);
    }
    QPixmap groove;
    QPixmap lit;

private:
    QList<PlainMeter*> m_meters;
};

// A console of `strips` playing tracks and plain meters for as many strips, both shown, fed the
// same level walks (256 meters in all: those not shown are sent to the console too).
struct MeterRun
{
    explicit MeterRun(int strips)
        : console(&documentOf(strips), 186, KVirtualUI::LiveMix), plain(2 * strips),
          walk(2 * strips)
    {
        console.resize(103 + strips * 90, 360);
        console.show();
        plain.resize(103 + strips * 90, 360);
        plain.show();
        QApplication::processEvents();
        shown = console.row()->getListElt();
        for (int i = 0; i < 256 - 2 * strips; ++i)
            hidden << QStringLiteral("hidden%1").arg(i);
    }
    // The levels as the player hands them to the console, every element by name.
    QMap<QString, QList<double>> elementLevels(const QList<int>& levels) const
    {
        QMap<QString, QList<double>> meters;
        for (int i = 0; i < shown.size(); ++i)
            meters.insert(shown[i], {double(levels[2 * i]), double(levels[2 * i + 1])});
        for (const QString& name : hidden)
            meters.insert(name, {-240.0, -240.0});
        return meters;
    }
    void tickConsole(const QMap<QString, QList<double>>& meters, const QList<int>& levels)
    {
        console.updateSliders(meters, levels[0], levels[1]);
        QApplication::processEvents();
    }
    void tickPlain(const QList<int>& levels)
    {
        plain.showLevels(levels);
        QApplication::processEvents();
    }

    KSuperUI console;
    PlainMeters plain;
    LevelWalk walk;
    QStringList shown;
    QStringList hidden;
    int ticks = 0;
};

// One meter tick of the console and one of the plain meters each iteration, in turns first,
// with the same levels; each benchmark reports the time of its own side.
void meterTicks(benchmark::State& state, bool console)
{
    app();
    // Never destroyed at exit, after Qt's own statics: the plain side's run ends it.
    static auto* runs = new std::map<int, std::unique_ptr<MeterRun>>;
    std::unique_ptr<MeterRun>& run = (*runs)[int(state.range(0))];
    if (!run)
        run = std::make_unique<MeterRun>(int(state.range(0)));
    for (auto _ : state) {
        const QList<int> levels = run->walk.next();
        const QMap<QString, QList<double>> meters = run->elementLevels(levels);
        const bool consoleFirst = run->ticks++ % 2 == 0;
        double own = 0;
        for (bool consoleNow : {consoleFirst, !consoleFirst}) {
            QElapsedTimer timer;
            timer.start();
            if (consoleNow)
                run->tickConsole(meters, levels);
            else
                run->tickPlain(levels);
            if (consoleNow == console)
                own = timer.nsecsElapsed() / 1e9;
        }
        state.SetIterationTime(own);
    }
    state.counters["strips"] = run->shown.size();
    if (!console)
        run.reset();
}

void BM_MeterTickConsole(benchmark::State& state)
{
    meterTicks(state, true);
}

void BM_MeterTickPlain(benchmark::State& state)
{
    meterTicks(state, false);
}

void BM_ConsoleBuildAndPaint(benchmark::State& state)
{
    app();
    KCtrlFile& doc = documentOf(int(state.range(0)));
    for (auto _ : state) {
        KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
        console.resize(1200, 360);
        console.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(console.row()->getNbElt());
    }
    state.SetComplexityN(state.range(0));
}

// Drops K tracks by name at the left of a rule's row of N strips scrolled to its middle: the
// drag enters and the names are dropped, the strips are built, laid out and painted.
void BM_DropOntoRow(benchmark::State& state)
{
    app();
    const int dropped = int(state.range(0));
    const int shownBefore = int(state.range(1));
    KCtrlFile& doc = documentOf(shownBefore + dropped);
    const QStringList names = trackNames(shownBefore + dropped);
    const QByteArray payload = names.mid(shownBefore).join(u'|').toUtf8();
    int rules = 0;
    for (auto _ : state) {
        const QString rule = QStringLiteral("__UnusefullGrp__drop%1").arg(rules++);
        doc.createRuleGroup(rule, names.mid(0, shownBefore), QStringLiteral("d"));
        {
            KSuperUI console(&doc, 184, KVirtualUI::RuleEdit);
            console.activeExternConnections(true);
            console.resize(1200, 360);
            console.show();
            console.switchRule_slot(rule);
            QApplication::processEvents();
            QMimeData data;
            data.setData(QStringLiteral("Tovra/eltNames"), payload);
            QElapsedTimer timer;
            timer.start();
            QDragEnterEvent enter(QPoint(200, 50), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(&console, &enter);
            QDropEvent drop(QPointF(200, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&console, &drop);
            QApplication::processEvents();
            state.SetIterationTime(timer.nsecsElapsed() / 1e9);
            if (console.row()->getNbElt() != shownBefore + dropped)
                state.SkipWithError("the drop did not add every strip");
        }
        doc.resetEltsStatus();
        doc.removeConstraint(rule);
        QApplication::processEvents();
    }
}

// A live console showing one playing group of n tracks: the group's zoom opens its row of n
// strips, shown and painted; the row is closed again between turns.
void BM_ZoomIntoGroup(benchmark::State& state)
{
    app();
    const int n = int(state.range(0));
    static fixtures::TempDir dir;
    static std::map<int, std::unique_ptr<KCtrlFile>> documents;
    std::unique_ptr<KCtrlFile>& doc = documents[n];
    if (!doc) {
        doc = std::make_unique<KCtrlFile>();
        QStringList names;
        for (int i = 0; i < n; ++i)
            names << QStringLiteral("z%1_%2").arg(n).arg(i, 4, 10, QLatin1Char('0'));
        addTracks(*doc, dir, names, 0.02);
        doc->KObjFile::createGroup(QStringLiteral("G"), names, 0, -1);
        doc->setEltsStatus(true, false);
    }
    KSuperUI console(doc.get(), 186, KVirtualUI::LiveMix);
    console.resize(1200, 360);
    console.show();
    QApplication::processEvents();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        console.row()->zoom(QStringLiteral("G"));
        QApplication::processEvents();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        if (!console.row()->zoomedRow() || console.row()->zoomedRow()->getNbElt() != n)
            state.SkipWithError("the zoomed row does not show the group");
        console.row()->closeMePlease();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
    state.SetComplexityN(n);
}

// The pictures a plain strip paints and shows, read once.
struct PlainPictures
{
    QPixmap background = KPictureCache::pixmap(QStringLiteral("Img/VolumeBG"));
    QPixmap panBox = KPictureCache::pixmap(QStringLiteral("Img/PanoBG"));
    QPixmap levelBox = KPictureCache::pixmap(QStringLiteral("Img/ValueBG"));
    QPixmap groove = KPictureCache::pixmap(QStringLiteral("Sliders/JaugeStereoGroove"));
    QPixmap lit = KPictureCache::pixmap(QStringLiteral("Sliders/JaugeStereoGrooveOver"));
    QIcon mute = QIcon(KPictureCache::pixmap(QStringLiteral("Img/MuteOff")));
    QIcon solo = QIcon(KPictureCache::pixmap(QStringLiteral("Img/SoloOff")));
};

const PlainPictures& plainPictures()
{
    static const PlainPictures pictures;
    return pictures;
}

// A live-mix strip in plain Qt: the same kinds and number of widgets at the same places and
// sizes, hidden where the editor's are (the meters, which the strip draws), each field with its
// validator, font and colours, connected member to member. The strip paints its background, value
// boxes, unit and meters from the same pictures. Like the editor's live strip, it has no limit
// handles, which a live mix never shows.
class PlainStrip : public QWidget
{
public:
    PlainStrip(const QString& name, int origin, QWidget* parent) : QWidget(parent)
    {
        const PlainPictures& pictures = plainPictures();
        setFixedSize(90, 325);
        auto* nameLabel = new QLabel(name, this);
        nameLabel->setGeometry(2, 2, 86, 17);
        nameLabel->setFont(QFont(QStringLiteral("Tahoma"), 11));
        nameLabel->setToolTip(name);
        m_panEdit = field(Qt::white, 4, 32, 30);
        m_panEdit->setValidator(new QIntValidator(-100, 100, m_panEdit));
        m_pan = slider(Qt::Horizontal, -100, 100, QRect(38, 32, 45, 17));
        m_levelEdit = field(QColor(0xff, 0x99, 0x00), 3, 57, 32);
        m_levelEdit->setValidator(new QDoubleValidator(m_levelEdit));
        m_fader = slider(Qt::Vertical, -240, 60, QRect(38, 77, 20, origin));
        for (int x : {63, 74}) {
            QSlider* meter = slider(Qt::Vertical, -240, 60, QRect(x, 57, 13, 202));
            meter->setEnabled(false);
            meter->hide();
        }
        m_mute = button(pictures.mute, QStringLiteral("Mute"), 77);
        m_solo = button(pictures.solo, QStringLiteral("Solo"), 110);

        m_fader->setValue(0);
        m_pan->setValue(0);
        m_levelEdit->setText(QStringLiteral("0.0"));
        m_panEdit->setText(QStringLiteral("C"));
        connect(m_fader, &QSlider::valueChanged, this, &PlainStrip::levelMoved);
        connect(m_pan, &QSlider::valueChanged, this, &PlainStrip::panMoved);
        connect(m_levelEdit, &QLineEdit::editingFinished, this, &PlainStrip::levelTyped);
        connect(m_panEdit, &QLineEdit::editingFinished, this, &PlainStrip::panTyped);
        connect(m_mute, &QPushButton::clicked, this, &PlainStrip::muted);
        connect(m_solo, &QPushButton::clicked, this, &PlainStrip::soloed);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const PlainPictures& pictures = plainPictures();
        QPainter painter(this);
        painter.drawPixmap(0, 0, pictures.background);
        painter.drawPixmap(3, 30, pictures.panBox);
        painter.drawPixmap(3, 57, pictures.levelBox);
        painter.drawText(QRect(41, 57, 22, 17), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("dB"));
        for (int x : {63, 74}) {
            painter.drawPixmap(x, 57, pictures.groove);
            const int top = int(198 * (60 - m_meter) / 300.0);
            painter.drawPixmap(x + 2, 59 + top, pictures.lit, 0, top, pictures.lit.width(),
                               pictures.lit.height() - top);
        }
    }

private:
    QLineEdit* field(const QColor& text, int x, int y, int w)
    {
        auto* edit = new QLineEdit(this);
        edit->setGeometry(x, y, w, 17);
        edit->setFont(QFont(QStringLiteral("Tahoma"), 9));
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignCenter);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, Qt::black);
        palette.setColor(QPalette::Text, text);
        edit->setPalette(palette);
        return edit;
    }
    QSlider* slider(Qt::Orientation orientation, int min, int max, const QRect& geometry)
    {
        auto* slider = new QSlider(orientation, this);
        slider->setRange(min, max);
        slider->setPageStep(1);
        slider->setGeometry(geometry);
        return slider;
    }
    QPushButton* button(const QIcon& icon, const QString& tip, int y)
    {
        auto* button = new QPushButton(this);
        button->setGeometry(2, y, 33, 31);
        button->setIcon(icon);
        button->setIconSize(QSize(33, 31));
        button->setFlat(true);
        button->setCheckable(true);
        button->setToolTip(tip);
        return button;
    }
    void levelMoved(int level) { m_levelEdit->setText(QString::number(level / 5.0, 'f', 1)); }
    void panMoved(int pan) { m_panEdit->setText(QString::number(pan)); }
    void levelTyped() { m_fader->setValue(int(m_levelEdit->text().toDouble() * 5)); }
    void panTyped() { m_pan->setValue(m_panEdit->text().toInt()); }
    void muted(bool on) { m_solo->setChecked(m_solo->isChecked() && !on); }
    void soloed(bool on) { m_mute->setChecked(m_mute->isChecked() && !on); }

    QLineEdit* m_panEdit;
    QSlider* m_pan;
    QLineEdit* m_levelEdit;
    QSlider* m_fader;
    QPushButton* m_mute;
    QPushButton* m_solo;
    int m_meter = -240;
};

// Builds, shows and paints a scrolled row of n widgets made by makeStrip(i, content), as the
// console shows its strips; `tight` lays them side by side without margins, as the console does.
template <class MakeStrip>
void buildAndPaintRow(benchmark::State& state, bool tight, MakeStrip makeStrip)
{
    app();
    const int n = int(state.range(0));
    for (auto _ : state) {
        QScrollArea window;
        auto* content = new QWidget;
        auto* row = new QHBoxLayout(content);
        if (tight) {
            row->setContentsMargins(0, 0, 0, 0);
            row->setSpacing(0);
        }
        for (int i = 0; i < n; ++i)
            row->addWidget(makeStrip(i, content));
        window.setWidget(content);
        window.resize(1200, 360);
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(content);
    }
    state.SetComplexityN(state.range(0));
}

void BM_PlainStripsBuildAndPaint(benchmark::State& state)
{
    plainPictures();
    const int n = int(state.range(0));
    buildAndPaintRow(state, true, [n](int i, QWidget* content) -> QWidget* {
        const QString name = QStringLiteral("n%1_%2").arg(n).arg(i, 3, 10, QLatin1Char('0'));
        return new PlainStrip(name, 186, content);
    });
}

// The older comparison: five plain widgets a row, kept so that its figures can still be compared.
void BM_PlainRowsBuildAndPaint(benchmark::State& state)
{
    buildAndPaintRow(state, false, [](int i, QWidget*) -> QWidget* {
        auto* strip = new QWidget;
        auto* column = new QVBoxLayout(strip);
        column->addWidget(new QLabel(QStringLiteral("n%1").arg(i)));
        column->addWidget(new QLineEdit(QStringLiteral("0")));
        column->addWidget(new QSlider(Qt::Vertical));
        column->addWidget(new QPushButton(QStringLiteral("M")));
        column->addWidget(new QDial);
        strip->setFixedSize(90, 325);
        return strip;
    });
}

void BM_MasterMuteClick(benchmark::State& state)
{
    app();
    KCtrlFile& doc = documentOf(int(state.range(0)));
    KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
    console.resize(1200, 360);
    console.show();
    QApplication::processEvents();
    for (auto _ : state) {
        console.master()->muteButton()->click();
        QApplication::processEvents();
    }
    state.SetComplexityN(state.range(0));
}
}

// Each size's console and plain meters go once both have run.
BENCHMARK(BM_MeterTickConsole)->Arg(64)->Iterations(Ticks)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeterTickPlain)->Arg(64)->Iterations(Ticks)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeterTickConsole)->Arg(128)->Iterations(Ticks)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeterTickPlain)->Arg(128)->Iterations(Ticks)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DropOntoRow)->Args({100, 1000})->Args({1000, 1000})->Iterations(3)->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomIntoGroup)->Arg(100)->Arg(300)->Arg(1000)->Iterations(5)->UseManualTime()
    ->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_ConsoleBuildAndPaint)->Arg(20)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_PlainStripsBuildAndPaint)->Arg(20)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_PlainRowsBuildAndPaint)->Arg(20)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_MasterMuteClick)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond)->Complexity();
