// The controlled document: which signal each operation sends, and the checkpoint and backup that
// replace the whole project.
#include <gtest/gtest.h>

#include "DocumentFixtures.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KMixSolver.h"
#include "KSolver.h"
#include "KXml.h"

namespace {

// Opens the checkpoint seam to the tests.
class Document : public KCtrlFile
{
public:
    using KCtrlFile::copyElts;
    using KCtrlFile::hasCheckpoint;
    using KCtrlFile::resetElts;
};

// Every signal of the document as "name(arguments)", in order.
class SignalLog
{
public:
    explicit SignalLog(KCtrlFile& doc)
    {
        auto add = [this](const QString& text) { lines << text; };
        auto list = [](const QStringList& names) { return names.join(","); };
        QObject::connect(&doc, &KCtrlFile::destroyKFile, &m_context, [=] { add("destroyKFile()"); });
        QObject::connect(&doc, &KCtrlFile::reloaded, &m_context, [=] { add("reloaded()"); });
        QObject::connect(&doc, &KCtrlFile::mixChanged, &m_context, [=] { add("mixChanged()"); });
        QObject::connect(&doc, &KCtrlFile::eltStatusChanged, &m_context, [=](const QStringList& n) { add("eltStatusChanged(" + list(n) + ")"); });
        QObject::connect(&doc, &KCtrlFile::levelChanged, &m_context, [=](const QStringList& n) { add("levelChanged(" + list(n) + ")"); });
        QObject::connect(&doc, &KCtrlFile::renamedMix, &m_context, [=](const QString& a, const QString& b) {
            add("renamedMix(" + a + "," + b + ")");
        });
        QObject::connect(&doc, &KCtrlFile::renamedElement, &m_context, [=](const QString& a, const QString& b) {
            add("renamedElement(" + a + "," + b + ")");
        });
        QObject::connect(&doc, &KCtrlFile::modifiedElement, &m_context, [=](const QString& n) { add("modifiedElement(" + n + ")"); });
        QObject::connect(&doc, &KCtrlFile::addedTrack, &m_context, [=](const QString& n) { add("addedTrack(" + n + ")"); });
        QObject::connect(&doc, &KCtrlFile::mixAdded, &m_context, [=](const QString& n) { add("mixAdded(" + n + ")"); });
        QObject::connect(&doc, &KCtrlFile::mixRemoved, &m_context, [=](const QString& n) { add("mixRemoved(" + n + ")"); });
        QObject::connect(&doc, &KCtrlFile::newDefaultMix, &m_context, [=](const QString& n) { add("newDefaultMix(" + n + ")"); });
    }
    QStringList take()
    {
        QStringList taken = lines;
        lines.clear();
        return taken;
    }
    QStringList lines;

private:
    // Ends every connection when the log goes, even while the document lives on.
    QObject m_context;
};

class Ctrl : public ::testing::Test
{
protected:
    void SetUp() override
    {
        k_setStatusSolverTimeLimit(5000);
        k_setLevelSolverTimeLimit(5000);
        ASSERT_EQ(addTracks(doc, dir, {"a", "b"}), QStringList({"a", "b"}));
        ASSERT_TRUE(doc.createGroup("G", {"a", "b"}, 0, -1));
        log.take();
    }
    void TearDown() override
    {
        k_setStatusSolverTimeLimit(0);
        k_setLevelSolverTimeLimit(0);
    }

    fixtures::TempDir dir;
    Document doc;
    SignalLog log{doc};
};

} // namespace

TEST_F(Ctrl, OperationsAnnounceTheirChange)
{
    const struct {
        const char* what;
        std::function<bool()> operation;
        QStringList sent;
    } cases[] = {
        {"first save", [&] { return doc.saveCurrentMix("A"); }, {"mixAdded(A)", "newDefaultMix(A)"}},
        {"second save", [&] { return doc.saveCurrentMix("A"); }, {}},
        {"another save", [&] { return doc.saveCurrentMix("B"); }, {"mixAdded(B)"}},
        {"default", [&] { return doc.setMixAsDefault("B"); }, {"newDefaultMix(B)"}},
        {"unknown default", [&] { return !doc.setMixAsDefault("nosuch"); }, {}},
        {"current", [&] { return doc.setCurrentMix("A"); }, {"mixChanged()"}},
        {"rename mix", [&] { return doc.renameMix("A", "C"); }, {"renamedMix(A,C)"}},
        {"refused mix rename", [&] { return !doc.renameMix("C", "B"); }, {}},
        {"remove mix", [&] { return doc.removeMix("C"); }, {"mixRemoved(C)"}},
        {"rename", [&] { return doc.renameElt("G", "H"); }, {"renamedElement(G,H)"}},
        {"refused rename", [&] { return !doc.renameElt("H", "a"); }, {}},
        {"on top", [&] { return doc.setElementOnTop("a"); }, {"modifiedElement(a)"}},
        {"track", [&] { return doc.addTrack("", sineFile(dir, "c.wav", 0.1), nullptr) == "c"; },
         {"addedTrack(c)"}},
        {"no track", [&] { return doc.addTrack("", "/nonexistent.wav", nullptr).isEmpty(); }, {}},
        {"tracks",
         [&] {
             return doc.addTracks({sineFile(dir, "d.wav", 0.1), "/nonexistent.wav"})
                    == QStringList({"d"});
         },
         {"addedTrack(d)"}},
        {"all on", [&] { return !doc.setEltsStatus(true, false).isEmpty(); },
         {"eltStatusChanged(a,b,H,c,__ImportAudioGrp__,d)"}},
        {"all on again", [&] { return doc.setEltsStatus(true, false).isEmpty(); },
         {"eltStatusChanged()"}},
        {"one off", [&] { return doc.setEltStatus("a", false, false) == QStringList({"a"}); },
         {"eltStatusChanged(a)"}},
        {"same state", [&] { return doc.setEltStatus("b", true).isEmpty(); }, {}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.operation()) << c.what;
        EXPECT_EQ(log.take(), c.sent) << c.what;
    }
}

TEST_F(Ctrl, ResetAnnouncesEveryElement)
{
    doc.setEltsStatus(true, true);
    log.take();
    doc.resetEltsStatus();
    EXPECT_EQ(log.take(), QStringList({"eltStatusChanged(" + doc.getAllElements().join(",") + ")"}));
    EXPECT_TRUE(doc.getPlayedTracks().isEmpty());
}

TEST_F(Ctrl, LevelMovesFollowEquivalences)
{
    ASSERT_TRUE(doc.addToEquivConst("a", ""));
    ASSERT_TRUE(doc.addToEquivConst("b", ""));
    doc.setEltsStatus(true, true);
    log.take();
    ASSERT_TRUE(doc.setElementLevel("a", 30, TMS_PLAYING_BUT_MOVED, false));
    EXPECT_EQ(doc.getElementLevel("a"), 30);
    EXPECT_EQ(doc.getElementLevel("b"), 30);
    EXPECT_EQ(log.take(), QStringList({"levelChanged(a,b)"}));
    // A refused move changes nothing and says nothing.
    EXPECT_FALSE(doc.setElementLevel("nosuch", 10, TMS_PLAYING_BUT_MOVED, false));
    EXPECT_FALSE(doc.setElementLevel("a", -500, TMS_PLAYING_BUT_MOVED, false));
    EXPECT_EQ(doc.getElementLevel("a"), 30);
    EXPECT_TRUE(log.take().isEmpty());
}

TEST_F(Ctrl, CheckpointAndBackupReplaceTheWholeProject)
{
    EXPECT_FALSE(doc.RestoreBackup());
    EXPECT_FALSE(doc.resetElts());
    EXPECT_TRUE(log.take().isEmpty());

    doc.ActiveBackup();
    ASSERT_TRUE(doc.copyElts());
    ASSERT_TRUE(doc.removeGroup("G"));
    ASSERT_TRUE(doc.resetElts());
    EXPECT_FALSE(doc.hasCheckpoint());
    EXPECT_TRUE(doc.isGroup("G"));
    EXPECT_EQ(log.take(), QStringList({"destroyKFile()", "reloaded()"}));

    ASSERT_TRUE(doc.renameElt("a", "z"));
    ASSERT_TRUE(doc.RestoreBackup());
    EXPECT_TRUE(doc.isTrack("a"));
    EXPECT_FALSE(doc.hasBackup());
    EXPECT_EQ(log.take(), QStringList({"renamedElement(a,z)", "destroyKFile()", "reloaded()"}));
    doc.ActiveBackup();
    doc.ClearBackup();
    EXPECT_FALSE(doc.RestoreBackup());
}

TEST_F(Ctrl, LoadsAnnounceOnlyWhatHappened)
{
    std::unique_ptr<KXml> desc(doc.exportToXmlDesc(false));
    ASSERT_TRUE(TovraOLib::writeStreamInFile(desc->toQString(), QString::fromStdString(dir.file("p"))));
    EXPECT_FALSE(doc.loadTovraFile(QString::fromStdString(dir.file("missing"))));
    EXPECT_TRUE(doc.isGroup("G"));
    EXPECT_TRUE(log.take().isEmpty());

    Document other;
    SignalLog otherLog(other);
    ASSERT_TRUE(other.loadFromXmlObj(desc.get()));
    EXPECT_EQ(otherLog.take(), QStringList({"reloaded()"}));
    EXPECT_TRUE(other.isGroup("G"));

    {
        KCtrlFile opened;
        SignalLog openedLog(opened);
        ASSERT_TRUE(opened.loadTovraFile(QString::fromStdString(dir.file("p"))));
        EXPECT_EQ(openedLog.take(), QStringList({"destroyKFile()", "reloaded()"}));
        EXPECT_EQ(opened.getTrackNames(), QStringList({"a", "b"}));
    }
}
