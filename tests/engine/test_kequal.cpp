// Equaliser curve: evaluation, editing, resampling, copies and the EQUAL tag tree.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "KEqual.h"
#include "XmlObject.h"
#include "tvr_utils.h"

namespace {

struct Point {
    double f, a;
};

_KEqualization *curveOf(const std::vector<Point> &points)
{
    std::vector<double> f, a;
    for (const Point &p : points) {
        f.push_back(p.f);
        a.push_back(p.a);
    }
    return KEqual_initAmplitudes(f.data(), a.data(), static_cast<int>(points.size()));
}

std::vector<Point> pointsOf(const _KEqualization *curve)
{
    std::vector<Point> points;
    for (int i = 0; i < KEqual_getNbFreq(curve); ++i)
        points.push_back({KEqual_getFreqAt(curve, i), KEqual_getAmplAt(curve, i)});
    return points;
}

void expectPoints(const _KEqualization *curve, const std::vector<Point> &expected)
{
    std::vector<Point> points = pointsOf(curve);
    ASSERT_EQ(points.size(), expected.size());
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(points[i].f, expected[i].f, 1e-6) << "point " << i;
        EXPECT_NEAR(points[i].a, expected[i].a, 1e-6) << "point " << i;
    }
}

// An owned tag tree: EQUAL with the given children (name, text; null text for none).
using Children = std::vector<std::pair<const char *, const char *>>;

XmlObject *equalTree(const char *root, const Children &children)
{
    XmlObject *node = CreateXmlObject(root, nullptr);
    for (const auto &child : children)
        AddSubObject(node, CreateXmlObject(child.first, child.second));
    return node;
}

struct CurveDeleter {
    void operator()(_KEqualization *c) const { KEqual_delete(&c); }
};
using CurvePtr = std::unique_ptr<_KEqualization, CurveDeleter>;

TEST(KEqual, BarkScaleConversions)
{
    struct Case {
        double hertz, bark;
    } cases[] = {{0, 0}, {100, 1}, {500, 5}, {1000, 9}, {2000, 13}, {16000, 25}};
    for (const Case &c : cases) {
        EXPECT_DOUBLE_EQ(hertzToBark(c.hertz), c.bark) << c.hertz;
        EXPECT_NEAR(barkToHertz(c.bark), c.hertz, 1e-9) << c.bark;
    }
}

TEST(KEqual, EvaluatesTheSplineOnTheBarkScale)
{
    CurvePtr curve(curveOf({{100, 1.0}, {1000, 2.0}}));
    struct Case {
        double f, value, tolerance;
    } cases[] = {
        {100, 1.0, 0},        {1000, 2.0, 0}, {500, 1.5, 1e-12}, // on points, mid-way in Bark
        {50, 0.9375, 1e-12},  {0, 1.0, 1e-12},                   // below the first point
        {2000, 2.0328, 1e-4}, {22050, 2.074, 1e-3},              // above the last point
    };
    for (const Case &c : cases)
        EXPECT_NEAR(KEqual_getAmplitude(curve.get(), c.f), c.value, c.tolerance) << c.f;

    // Overshoot below zero is clamped.
    CurvePtr dip(curveOf({{100, 0.0}, {200, 0.0}, {300, 5.0}}));
    EXPECT_EQ(KEqual_getAmplitude(dip.get(), 150), 0.0);
}

TEST(KEqual, EmptyAndOnePointCurvesAreFlat)
{
    CurvePtr empty(KEqual_new());
    CurvePtr single(curveOf({{440, 0.3}}));
    for (double f : {0.0, 440.0, 20000.0}) {
        EXPECT_EQ(KEqual_getAmplitude(empty.get(), f), 1.0);
        EXPECT_EQ(KEqual_getAmplitude(nullptr, f), 1.0);
        EXPECT_EQ(KEqual_getAmplitude(single.get(), f), 0.3);
    }
    EXPECT_EQ(KEqual_getNbFreq(empty.get()), 0);
    EXPECT_EQ(KEqual_getNbFreq(nullptr), 0);
    EXPECT_EQ(KEqual_getAmplitude_parabol(), 0.0);
}

TEST(KEqual, SetAmplitudeReplacesOrInsertsInOrder)
{
    CurvePtr curve(KEqual_new());
    for (Point p : std::vector<Point>{{1000, 2.0}, {100, 1.0}, {20000, 0.5}, {500, 1.5}, {20, 0.7}})
        EXPECT_EQ(KEqual_setAmplitude(curve.get(), p.f, p.a), 1);
    EXPECT_EQ(KEqual_setAmplitude(curve.get(), 500, 3.0), 1); // existing frequency
    expectPoints(curve.get(), {{20, 0.7}, {100, 1.0}, {500, 3.0}, {1000, 2.0}, {20000, 0.5}});

    EXPECT_EQ(KEqual_setAmplitude(curve.get(), NAN, 1.0), 0);
    EXPECT_EQ(KEqual_setAmplitude(curve.get(), 300, INFINITY), 0);
    EXPECT_EQ(KEqual_setAmplitude(nullptr, 300, 1.0), 0);
    EXPECT_EQ(KEqual_getNbFreq(curve.get()), 5);
    EXPECT_EQ(KEqual_getFreqAt(curve.get(), 5), 0.0); // outside 0..n-1
    EXPECT_EQ(KEqual_getAmplAt(curve.get(), -1), 0.0);
}

TEST(KEqual, ErasingPointsDownToAnEmptyCurve)
{
    CurvePtr curve(curveOf({{100, 1.0}, {500, 1.5}, {1000, 2.0}}));
    EXPECT_EQ(KEqual_eraseFreq(curve.get(), 400), 0);
    EXPECT_EQ(KEqual_removeAmplAt(curve.get(), 3), 0);
    EXPECT_EQ(KEqual_removeAmplAt(curve.get(), -1), 0);
    EXPECT_EQ(KEqual_removeAmplAt(nullptr, 0), 0);
    EXPECT_EQ(KEqual_eraseFreq(curve.get(), 500), 1);
    expectPoints(curve.get(), {{100, 1.0}, {1000, 2.0}});
    EXPECT_EQ(KEqual_removeAmplAt(curve.get(), 1), 1);
    EXPECT_EQ(KEqual_eraseFreq(curve.get(), 100), 1);
    EXPECT_EQ(KEqual_getNbFreq(curve.get()), 0);
    EXPECT_EQ(KEqual_getAmplitude(curve.get(), 440), 1.0);
    // The emptied curve is usable again.
    EXPECT_EQ(KEqual_setAmplitude(curve.get(), 440, 0.5), 1);
    expectPoints(curve.get(), {{440, 0.5}});
    EXPECT_EQ(KEqual_init(curve.get()), curve.get());
    EXPECT_EQ(KEqual_getNbFreq(curve.get()), 0);
}

TEST(KEqual, SetAmplitudeAtMovesAPointKeepingTheOrder)
{
    struct Case {
        double f, a;
        int index, result;
        std::vector<Point> after;
    } cases[] = {
        {200, 1.1, 0, 1, {{200, 1.1}, {500, 1.5}, {1000, 2.0}}},  // in place
        {700, 1.1, 0, 1, {{500, 1.5}, {700, 1.1}, {1000, 2.0}}},  // past point 1
        {50, 0.9, 2, 1, {{50, 0.9}, {100, 1.0}, {500, 1.5}}},     // before point 0
        {3000, 0.4, 7, 1, {{100, 1.0}, {500, 1.5}, {1000, 2.0}, {3000, 0.4}}}, // inserts
        {-5, 1.0, 1, 0, {{100, 1.0}, {500, 1.5}, {1000, 2.0}}},   // negative frequency
        {500, 4.0, 0, 1, {{500, 4.0}, {500, 1.5}, {1000, 2.0}}},  // up to the next point: in place
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.f);
        CurvePtr curve(curveOf({{100, 1.0}, {500, 1.5}, {1000, 2.0}}));
        EXPECT_EQ(KEqual_setAmplitudeAt(curve.get(), c.f, c.a, c.index), c.result);
        expectPoints(curve.get(), c.after);
    }
    EXPECT_EQ(KEqual_setAmplitudeAt(nullptr, 100, 1, 0), 0);
}

TEST(KEqual, TotalEqualSamplesEvenlyUpToHigh)
{
    CurvePtr curve(curveOf({{100, 1.0}, {1000, 2.0}}));
    CurvePtr three(KEqual_getTotalEqual(curve.get(), 0, 20000, 3));
    ASSERT_TRUE(three);
    ASSERT_EQ(KEqual_getNbFreq(three.get()), 3);
    EXPECT_EQ(KEqual_getFreqAt(three.get(), 0), 0.0);
    EXPECT_EQ(KEqual_getFreqAt(three.get(), 1), 10000.0);
    EXPECT_EQ(KEqual_getFreqAt(three.get(), 2), 20000.0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(KEqual_getAmplAt(three.get(), i),
                  KEqual_getAmplitude(curve.get(), KEqual_getFreqAt(three.get(), i)));
    EXPECT_EQ(KEqual_getAmplAt(three.get(), 0), 1.0);

    // The bins of a 2048-point transform at 44.1 kHz, as the mastering equaliser asks them.
    CurvePtr bins(KEqual_getTotalEqual(curve.get(), 0, 22050.0 - 44100.0 / 2048, 1024));
    ASSERT_EQ(KEqual_getNbFreq(bins.get()), 1024);
    EXPECT_DOUBLE_EQ(KEqual_getFreqAt(bins.get(), 1), 44100.0 / 2048);

    CurvePtr one(KEqual_getTotalEqual(curve.get(), 100, 1000, 1));
    expectPoints(one.get(), {{1000, 2.0}});
    CurvePtr flat(KEqual_getTotalEqual(CurvePtr(KEqual_new()).get(), 0, 100, 2));
    expectPoints(flat.get(), {{0, 1.0}, {100, 1.0}});

    struct Bad {
        double low, high;
        int count;
    } bad[] = {{-1, 100, 3}, {0, -1, 3},  {200, 100, 3},
               {0, 100, 0},  {NAN, 100, 3}, {0, INFINITY, 3}};
    for (const Bad &b : bad)
        EXPECT_EQ(KEqual_getTotalEqual(curve.get(), b.low, b.high, b.count), nullptr) << b.low;
    EXPECT_EQ(KEqual_getTotalEqual(nullptr, 0, 100, 3), nullptr);
}

TEST(KEqual, CloneAndCopyAreIndependent)
{
    CurvePtr source(curveOf({{100, 1.0}, {1000, 2.0}}));
    CurvePtr clone(KEqual_clone(source.get()));
    CurvePtr target(curveOf({{50, 3.0}}));
    EXPECT_EQ(KEqual_copy(target.get(), source.get()), target.get());
    KEqual_setAmplitude(source.get(), 500, 9.0);
    expectPoints(clone.get(), {{100, 1.0}, {1000, 2.0}});
    expectPoints(target.get(), {{100, 1.0}, {1000, 2.0}});

    EXPECT_EQ(KEqual_copy(target.get(), target.get()), target.get());
    expectPoints(target.get(), {{100, 1.0}, {1000, 2.0}});
    CurvePtr empty(KEqual_new());
    EXPECT_EQ(KEqual_copy(target.get(), empty.get()), target.get());
    EXPECT_EQ(KEqual_getNbFreq(target.get()), 0);

    EXPECT_EQ(KEqual_copy(nullptr, source.get()), nullptr);
    EXPECT_EQ(KEqual_copy(target.get(), nullptr), nullptr);
    EXPECT_EQ(KEqual_clone(nullptr), nullptr);
    EXPECT_EQ(KEqual_initAmplitudes(nullptr, nullptr, 2), nullptr);
    EXPECT_EQ(KEqual_initAmplitudes(nullptr, nullptr, -1), nullptr);
    _KEqualization *none = nullptr;
    KEqual_delete(&none);
    KEqual_delete(nullptr);
}

TEST(KEqual, TagTreeRoundTripThroughText)
{
    // The interpolation type only reaches a curve through a tag tree.
    XmlObject *withType = equalTree("EQUAL", {{"NBFREQ", "3"},
                                              {"INTERPOL", "5"},
                                              {"FREQ", "20.5 1000 18000.25"},
                                              {"AMPL", "0.5 1 1.25"}});
    CurvePtr curve(extractXmlEqual(withType));
    DeleteRecXmlObject(withType);
    ASSERT_TRUE(curve);

    // Written under a decimal-comma locale, read back under C: same bytes, same curve.
    const bool french = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
    XmlObject *tree = exportXmlEqual(curve.get());
    std::setlocale(LC_NUMERIC, "C");
    ASSERT_NE(tree, nullptr);
    char *text = XmlToString2(nullptr, tree);
    DeleteRecXmlObject(tree);
    ASSERT_NE(text, nullptr);
    const std::string written(text);
    EXPECT_NE(written.find("<NBFREQ>3</NBFREQ>"), std::string::npos) << written;
    EXPECT_NE(written.find("<INTERPOL>5</INTERPOL>"), std::string::npos) << written;
    EXPECT_NE(written.find("20.500000 1000.000000 18000.250000"), std::string::npos) << written;
    if (!french)
        GTEST_LOG_(INFO) << "fr_FR.UTF-8 missing: the locale half of this test ran under C";

    XmlObject *parsed = XmlParserFromString(text);
    tvr_free(text);
    CurvePtr back(extractXmlEqual(parsed));
    DeleteRecXmlObject(parsed);
    ASSERT_TRUE(back);
    expectPoints(back.get(), pointsOf(curve.get()));

    // The same tree again, now from the read curve: the interpolation type survived.
    XmlObject *again = exportXmlEqual(back.get());
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->count, 4);
    EXPECT_STREQ(again->children[1]->name, "INTERPOL");
    EXPECT_STREQ(again->children[1]->text, "5");
    DeleteRecXmlObject(again);

    // An emptied curve is written and read back as an empty curve.
    CurvePtr empty(KEqual_new());
    XmlObject *emptyTree = exportXmlEqual(empty.get());
    CurvePtr emptyBack(extractXmlEqual(emptyTree));
    DeleteRecXmlObject(emptyTree);
    ASSERT_TRUE(emptyBack);
    EXPECT_EQ(KEqual_getNbFreq(emptyBack.get()), 0);
    EXPECT_EQ(exportXmlEqual(nullptr), nullptr);
}

TEST(KEqual, ExtractRefusesMalformedTrees)
{
    struct Case {
        const char *what;
        const char *root;
        Children children;
    } cases[] = {
        {"wrong root", "EQ", {{"NBFREQ", "1"}, {"FREQ", "100"}, {"AMPL", "1"}}},
        {"no NBFREQ", "EQUAL", {{"FREQ", "100"}, {"AMPL", "1"}}},
        {"no FREQ", "EQUAL", {{"NBFREQ", "1"}, {"AMPL", "1"}}},
        {"no AMPL", "EQUAL", {{"NBFREQ", "1"}, {"FREQ", "100"}}},
        {"count not a number", "EQUAL", {{"NBFREQ", "two"}, {"FREQ", "1 2"}, {"AMPL", "1 1"}}},
        {"count with a fraction", "EQUAL", {{"NBFREQ", "2.5"}, {"FREQ", "1 2"}, {"AMPL", "1 1"}}},
        {"negative count", "EQUAL", {{"NBFREQ", "-1"}, {"FREQ", "100"}, {"AMPL", "1"}}},
        {"huge count", "EQUAL", {{"NBFREQ", "1000000000"}, {"FREQ", "1 2"}, {"AMPL", "1 1"}}},
        {"count x 8 overflowing int", "EQUAL",
         {{"NBFREQ", "536870912"}, {"FREQ", "1 2"}, {"AMPL", "1 1"}}},
        {"fewer frequencies", "EQUAL", {{"NBFREQ", "3"}, {"FREQ", "100 200"}, {"AMPL", "1 1 1"}}},
        {"fewer amplitudes", "EQUAL", {{"NBFREQ", "2"}, {"FREQ", "100 200"}, {"AMPL", "1"}}},
        {"empty lists", "EQUAL", {{"NBFREQ", "2"}, {"FREQ", nullptr}, {"AMPL", nullptr}}},
        {"no usable point", "EQUAL", {{"NBFREQ", "2"}, {"FREQ", "nan -5"}, {"AMPL", "1 1"}}},
    };
    for (const Case &c : cases) {
        XmlObject *tree = equalTree(c.root, c.children);
        EXPECT_EQ(extractXmlEqual(tree), nullptr) << c.what;
        DeleteRecXmlObject(tree);
    }
    EXPECT_EQ(extractXmlEqual(nullptr), nullptr);
}

TEST(KEqual, ExtractRepairsPointsItCanUse)
{
    // Unsorted, a duplicate frequency (the later wins), unusable values dropped, amplitudes
    // clamped, extra numbers and unknown children ignored, a repeated child replacing the first.
    XmlObject *tree = equalTree("EQUAL", {{"NBFREQ", "9"},
                                          {"FREQ", "1 2"},
                                          {"OTHER", "x"},
                                          {"FREQ", "1000 100 500 100 inf -3 200 300 400 77"},
                                          {"AMPL", "2 1 1.5 0.8 1 1 nan -2 1000 5"}});
    CurvePtr curve(extractXmlEqual(tree));
    DeleteRecXmlObject(tree);
    ASSERT_TRUE(curve);
    expectPoints(curve.get(), {{100, 0.8}, {300, 0.0}, {400, 64.0}, {500, 1.5}, {1000, 2.0}});
    XmlObject *out = exportXmlEqual(curve.get());
    EXPECT_STREQ(out->children[1]->text, "2"); // no INTERPOL: a spline
    DeleteRecXmlObject(out);
}

} // namespace
