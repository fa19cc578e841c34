// The controlled document: which signal each operation sends, and the checkpoint and backup that
// replace the whole project.
#include <gtest/gtest.h>

#include "DocumentFixtures.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KMixSolver.h"
#include "KPrompt.h"
#include "KSolver.h"
#include "KXml.h"

#include <vector>

namespace {

// Opens the checkpoint seam to the tests.
class Document : public KCtrlFile
{
public:
    using KCtrlFile::copyElts;
    using KCtrlFile::hasCheckpoint;
    using KCtrlFile::resetElts;
};

// The project as its description says it, to tell an exact restore from a change.
QString description(const KObjFile& doc)
{
    std::unique_ptr<KXml> desc(doc.exportToXmlDesc(false));
    return desc ? desc->toQString() : QString();
}

// Answers the message boxes from a queue of buttons (Abort once it is empty) and keeps what was
// asked.
class Prompts
{
public:
    explicit Prompts(QList<QMessageBox::StandardButton> queued = {})
        : answers(std::move(queued))
    {
        m_previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            asked.push_back(request);
            KPrompt::Answer answer;
            answer.button = answers.isEmpty() ? QMessageBox::Abort : answers.takeFirst();
            return answer;
        });
    }
    ~Prompts() { KPrompt::setHandler(m_previous); }

    QList<QMessageBox::StandardButton> answers;
    std::vector<KPrompt::Request> asked;

private:
    KPrompt::Handler m_previous;
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
        QObject::connect(&doc, &KCtrlFile::addedGroup, &m_context, [=](const QString& n) { add("addedGroup(" + n + ")"); });
        QObject::connect(&doc, &KCtrlFile::addedConstraint, &m_context, [=](const QString& n, KObjFile::EConst kind) {
            add("addedConstraint(" + n + "," + QString::number(kind) + ")");
        });
        QObject::connect(&doc, &KCtrlFile::removedEltFromGroup, &m_context, [=](const QString& n) { add("removedEltFromGroup(" + n + ")"); });
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
        ASSERT_TRUE(doc.KObjFile::createGroup("G", {"a", "b"}, 0, -1));
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
    ASSERT_TRUE(doc.KObjFile::removeGroup("G"));
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

// --- The checked road ---------------------------------------------------------------------------

namespace {

// What the rule check finds after any edit of the table: every grouped track can play, track x
// is kept silent by its group X {0,0} (some cannot), or x is also always on, which no state
// satisfies (none can).
enum class Rules { Sound, SomeSilent, Contradictory };

class Checked : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new fixtures::TempDir;
        for (const char* name : {"a", "b", "c", "d", "x"})
            s_paths << sineFile(*s_dir, QString(name) + ".wav", 0.1);
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    void SetUp() override
    {
        k_setStatusSolverTimeLimit(5000);
        k_setLevelSolverTimeLimit(5000);
    }
    void TearDown() override
    {
        k_setStatusSolverTimeLimit(0);
        k_setLevelSolverTimeLimit(0);
    }

    // Tracks a, b, c in G, d in H, an exclusion over a and b, track x as the rules say; built with
    // the unchecked operations.
    static std::unique_ptr<Document> project(Rules rules, QString* exclusion = nullptr)
    {
        auto doc = std::make_unique<Document>();
        const QStringList names = {"a", "b", "c", "d", "x"};
        for (int i = 0; i < names.size(); ++i)
            EXPECT_EQ(doc->addTrack(names[i], s_paths[i], nullptr), names[i]);
        EXPECT_TRUE(doc->KObjFile::createGroup("G", {"a", "b", "c"}, 0, -1));
        EXPECT_TRUE(doc->KObjFile::createGroup("H", {"d"}, 0, -1));
        const QString rule = doc->KObjFile::createExclu({"a", "b"}, "");
        EXPECT_FALSE(rule.isEmpty());
        if (exclusion)
            *exclusion = rule;
        if (rules != Rules::Sound) {
            EXPECT_TRUE(doc->KObjFile::createGroup("X", {"x"}, 0, 0));
        }
        if (rules == Rules::Contradictory) {
            EXPECT_TRUE(doc->KObjFile::setEltNotMute("x", true));
        }
        return doc;
    }

    static fixtures::TempDir* s_dir;
    static QStringList s_paths;
};

fixtures::TempDir* Checked::s_dir = nullptr;
QStringList Checked::s_paths;

int ruleCheck(KObjFile& doc)
{
    return checkConstraintsWF(doc.getKFile(), notOrphanCanPlay, notOrphanTracksNbr(doc.getKFile()));
}

} // namespace

TEST_F(Checked, FixturesGiveEachAnswerOfTheRuleCheck)
{
    EXPECT_EQ(ruleCheck(*project(Rules::Sound)), 0);
    EXPECT_EQ(ruleCheck(*project(Rules::SomeSilent)), 1);
    EXPECT_EQ(ruleCheck(*project(Rules::Contradictory)), 2);
}

// Every checked edit, accepted, kept after a warning, aborted after a warning and refused: the
// boxes asked, the result, the signals and whether the project is exactly as before.
TEST_F(Checked, EveryEditAcceptsAsksOrRefusesAndRestoresExactly)
{
    using Act = KCtrlFile::EActCnst;
    struct Edit {
        const char* what;
        Act act;
        // Runs the edit; the rule's name, "ok", or empty on failure.
        std::function<QString(Document&, const QString& exclusion)> run;
        // Signals of an accepted edit; %1 stands for the run's result.
        QStringList sent;
    };
    auto ok = [](bool done) { return done ? QStringLiteral("ok") : QString(); };
    const Edit edits[] = {
        {"group", KCtrlFile::ActCreateGroup,
         [&](Document& d, const QString&) { return ok(d.createGroup("N", {"a", "b"}, 0, -1)); },
         {"addedGroup(N)"}},
        {"group taking members", KCtrlFile::ActCreateGroup,
         [&](Document& d, const QString&) {
             return ok(d.createGroupWithRemovingElements("N", {"c"}, 0, -1));
         },
         {"addedGroup(N)"}},
        {"exclusion", KCtrlFile::ActCreateExclu,
         [](Document& d, const QString&) { return d.createExclu({"b", "c"}, "why"); },
         {"addedConstraint(%1,1)"}},
        {"implication", KCtrlFile::ActCreateImply,
         [](Document& d, const QString&) { return d.createImply("a", {"c"}, ""); },
         {"addedConstraint(%1,0)"}},
        {"equivalence", KCtrlFile::ActCreateEquiv,
         [](Document& d, const QString&) { return d.createEquiv("Q", {"a", "c"}, ""); },
         {"addedConstraint(Q,2)"}},
        {"bounds", KCtrlFile::ActModifyGroup,
         [&](Document& d, const QString&) { return ok(d.setGroupMinMaxPlay("G", 0, 2)); },
         {"modifiedElement(G)"}},
        {"add", KCtrlFile::ActModifyGroup,
         [&](Document& d, const QString&) { return ok(d.addEltInGroup("G", "d")); },
         {"modifiedElement(d)"}},
        {"remove group", KCtrlFile::ActRemoveGroup,
         [&](Document& d, const QString&) { return ok(d.removeGroup("H")); }, {}},
        {"remove rule", KCtrlFile::ActRemoveConstraint,
         [&](Document& d, const QString& rule) { return ok(d.removeConstraint(rule)); }, {}},
        {"remove element", KCtrlFile::ActRemoveElement,
         [&](Document& d, const QString&) { return ok(d.removeElement("c")); }, {"reloaded()"}},
        {"take out", KCtrlFile::ActRemoveEltFromGroup,
         [&](Document& d, const QString&) { return ok(d.removeEltFromGroup("G", "a")); },
         {"modifiedElement(G)", "removedEltFromGroup(a)"}},
        {"always on", KCtrlFile::ActCreateNotMute,
         [&](Document& d, const QString&) { return ok(d.setEltNotMute("d", true)); }, {}},
    };
    const struct {
        const char* what;
        Rules rules;
        QList<QMessageBox::StandardButton> answers;
        KPrompt::Kind box; // Dialog: no box
        bool kept;
    } outcomes[] = {
        {"accepted", Rules::Sound, {}, KPrompt::Dialog, true},
        {"ignored", Rules::SomeSilent, {QMessageBox::Ignore}, KPrompt::Warning, true},
        {"aborted", Rules::SomeSilent, {QMessageBox::Abort}, KPrompt::Warning, false},
        {"refused", Rules::Contradictory, {QMessageBox::Ok}, KPrompt::Critical, false},
    };
    for (const Edit& edit : edits) {
        for (const auto& outcome : outcomes) {
            SCOPED_TRACE(std::string(edit.what) + ", " + outcome.what);
            QString rule;
            auto doc = project(outcome.rules, &rule);
            SignalLog log(*doc);
            const QString before = description(*doc);
            Prompts prompts(outcome.answers);

            const QString result = edit.run(*doc, rule);

            EXPECT_EQ(!result.isEmpty(), outcome.kept);
            if (outcome.box == KPrompt::Dialog) {
                EXPECT_TRUE(prompts.asked.empty());
            } else {
                ASSERT_EQ(prompts.asked.size(), 1u);
                const KPrompt::Request& box = prompts.asked[0];
                EXPECT_EQ(box.kind, outcome.box);
                EXPECT_EQ(box.title, KCtrlFile::getMsgTitle(edit.act));
                if (outcome.box == KPrompt::Warning) {
                    EXPECT_EQ(box.text, KCtrlFile::getWarningMsg(edit.act));
                    EXPECT_EQ(box.buttons, QMessageBox::Ignore | QMessageBox::Abort);
                    EXPECT_EQ(box.defaultButton, QMessageBox::Abort);
                } else {
                    EXPECT_EQ(box.text, KCtrlFile::getErrorMsg(edit.act));
                    EXPECT_EQ(box.buttons, QMessageBox::Ok);
                }
            }
            if (outcome.kept) {
                QStringList sent;
                for (const QString& line : edit.sent)
                    sent << QString(line).replace("%1", result);
                EXPECT_EQ(log.take(), sent);
                EXPECT_NE(description(*doc), before);
            } else {
                EXPECT_EQ(log.take(), QStringList({"destroyKFile()", "reloaded()"}));
                EXPECT_EQ(description(*doc), before);
                EXPECT_FALSE(doc->hasCheckpoint());
            }
        }
    }
}

TEST(CheckedTexts, FrenchSourcesOfEachEdit)
{
    using C = KCtrlFile;
    const struct {
        C::EActCnst act;
        QString title, warning, error;
    } cases[] = {
        {C::ActCreateGroup, "Création d'un groupe",
         "La création de ce groupe implique que certaines pistes ne pourront être écoutées à la "
         "lecture du fichier Tovra.",
         "Impossible de créer le groupe : des contraintes déjà existantes sont contradictoires avec "
         "ce nouveau groupe !"},
        {C::ActCreateImply, "Création d'une implication",
         "La création de cette contrainte implique que certaines pistes ne pourront être écoutées à "
         "la lecture du fichier Tovra.",
         "Impossible de créer la contrainte : des contraintes déjà existantes sont contradictoires "
         "avec cette nouvelle contrainte !"},
        {C::ActCreateEquiv, "", "", ""},
        {C::ActRemoveEltFromGroup, "Suppresion d'un élément",
         "Malgré la suppression de cet element, certaines pistes ne pourront être écoutées à la "
         "lecture du fichier Tovra.",
         "Impossible de supprimer cette élément : des contraintes sont contradictoires"},
        {C::ActLoadProject, "Chargement d'un fichier Projet Tovra",
         "L'organisation des contraintes du fichier projet implique que certaines pistes ne "
         "pourront être écoutées à la lecture du fichier Tovra.",
         "Impossible de charger ce fichier projet : des contraintes sont contradictoires"},
        {C::ActCreateNotMute, "Création d'un élément toujours allumé",
         "La création de cette contrainte imlique que\ncertaines pistes ne pourront jamais être "
         "écoutées",
         "Impossible de créer cette contrainte :\nAucune piste ne peut être allumée en respectant "
         "les contraintes."},
        {C::EActCnst(11), "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(C::getMsgTitle(c.act), c.title) << c.act;
        EXPECT_EQ(C::getWarningMsg(c.act), c.warning) << c.act;
        EXPECT_EQ(C::getErrorMsg(c.act), c.error) << c.act;
    }
}

// An edit that fails part-way leaves nothing of itself: the checkpoint comes back without a box.
TEST_F(Checked, AFailedEditLeavesNothingHalfDone)
{
    const struct {
        const char* what;
        std::function<bool(Document&)> run;
    } cases[] = {
        {"group with an unknown member", [](Document& d) { return d.createGroup("N", {"a", "nosuch"}, 0, -1); }},
        {"exclusion with an unknown member", [](Document& d) { return !d.createExclu({"c", "nosuch"}, "").isEmpty(); }},
        {"add of an unknown element", [](Document& d) { return d.addEltInGroup("G", "nosuch"); }},
        {"add making a cycle", [](Document& d) { return d.addEltInGroup("G", "G"); }},
        {"remove of an unknown element", [](Document& d) { return d.removeElement("nosuch"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto doc = project(Rules::Sound);
        SignalLog log(*doc);
        const QString before = description(*doc);
        Prompts prompts;
        EXPECT_FALSE(c.run(*doc));
        EXPECT_TRUE(prompts.asked.empty());
        EXPECT_EQ(description(*doc), before);
        EXPECT_EQ(log.take(), QStringList({"destroyKFile()", "reloaded()"}));
    }
}

// Adding to a group that lets no member play first opens it to one; both steps may be asked
// about, and whichever is refused, the project comes back as the user left it.
TEST_F(Checked, AddingToAClosedGroupIsOneEdit)
{
    const struct {
        const char* what;
        QList<QMessageBox::StandardButton> answers;
        int boxes;
        bool added;
        QStringList sent;
    } cases[] = {
        {"opening aborted", {QMessageBox::Abort}, 1, false, {"destroyKFile()", "reloaded()"}},
        {"adding aborted", {QMessageBox::Ignore, QMessageBox::Abort}, 2, false,
         {"modifiedElement(Z)", "destroyKFile()", "reloaded()"}},
        {"both kept", {QMessageBox::Ignore, QMessageBox::Ignore}, 2, true,
         {"modifiedElement(Z)", "modifiedElement(a)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto doc = project(Rules::SomeSilent);
        ASSERT_TRUE(doc->KObjFile::createGroup("Z", {}, 0, 0));
        SignalLog log(*doc);
        const QString before = description(*doc);
        Prompts prompts(c.answers);
        EXPECT_EQ(doc->addEltInGroup("Z", "a"), c.added);
        EXPECT_EQ(int(prompts.asked.size()), c.boxes);
        EXPECT_EQ(log.take(), c.sent);
        ASSERT_NE(doc->getKFile(), nullptr);
        if (c.added) {
            EXPECT_EQ(doc->getGroupMaxPlay("Z"), 1);
            EXPECT_TRUE(doc->getSubElt("Z").contains("a"));
        } else {
            EXPECT_EQ(description(*doc), before);
        }
    }
}

// The rule check is a question: an accepted edit keeps what plays.
TEST_F(Checked, AnAcceptedEditKeepsWhatPlays)
{
    auto doc = project(Rules::Sound);
    doc->setEltStatus("a", true, true);
    doc->setEltStatus("c", true, true);
    const QStringList playing = doc->getPlayedTracks();
    ASSERT_FALSE(playing.isEmpty());
    Prompts prompts;
    EXPECT_FALSE(doc->createExclu({"c", "d"}, "").isEmpty());
    EXPECT_EQ(doc->getPlayedTracks(), playing);
}

// Rules that really contradict the edit, without any track kept silent beforehand.
TEST_F(Checked, TheEditItselfDecides)
{
    const struct {
        const char* what;
        std::function<bool(Document&)> run;
        KPrompt::Kind box;
        QString title, text;
    } cases[] = {
        {"exclusion with an always-on track",
         [](Document& d) {
             return d.KObjFile::setEltNotMute("d", true) && !d.createExclu({"d", "c"}, "").isEmpty();
         },
         KPrompt::Warning, "Création d'une exclusion",
         "La création de cette contrainte implique que certaines pistes ne pourront être écoutées "
         "à la lecture du fichier Tovra."},
        {"group of two over an exclusion",
         [](Document& d) { return d.createGroup("N", {"a", "b"}, 2, 2); }, KPrompt::Critical,
         "Création d'un groupe",
         "Impossible de créer le groupe : des contraintes déjà existantes sont contradictoires avec "
         "ce nouveau groupe !"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto doc = project(Rules::Sound);
        Prompts prompts({QMessageBox::Abort});
        EXPECT_FALSE(c.run(*doc));
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].kind, c.box);
        EXPECT_EQ(prompts.asked[0].title, c.title);
        EXPECT_EQ(prompts.asked[0].text, c.text);
    }
}
