// Mix files: stored mixes written apart from their project and loaded back into it, added to,
// refused for other projects and other files, all or nothing.
#include <gtest/gtest.h>

#include <string>

#include "AudioFixtures.h"
#include "KContainer.h"
#include "KLevels.h"
#include "KMix.h"
#include "KMixFile.h"
#include "KZarkXml.h"
#include "ProjectBuilder.h"
#include "tvr_utils.h"

namespace
{

using fixtures::TempDir;

std::string takeText(char *text)
{
    std::string out = text ? text : "";
    tvr_free(text);
    return out;
}

// The TOVIX element of a stored mix as text.
std::string mixText(KFile *file, const char *name)
{
    XmlObject *node = exportXmlSlcts(file, name);
    if (!node)
        return "";
    std::string text = takeText(XmlToString2(nullptr, node));
    DeleteRecXmlObject(node);
    return text;
}

size_t countOf(const std::string &text, const std::string &what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class MixFile : public testing::Test
{
protected:
    MixFile()
    {
        project.track("Bass").track("Drums").track("Voice").group("Band", {"Bass", "Drums"});
        KFile *file = project.file();
        addTrackInCurrentMix(file, "Bass");
        addTrackInCurrentMix(file, "Voice");
        changeLevel(project.elt("Bass"), -30);
        EXPECT_EQ(1, saveCurrentSlct(file, "Mix A"));
        KMix *a = findThisSlct(file, "Mix A");
        a->masterGain = 0.5;
        a->masterPan = -0.25;
        addTrackInCurrentMix(file, "Drums");
        EXPECT_EQ(1, saveCurrentSlct(file, "Mix B"));
        TovraGenerateFileId(file);
        path = dir.file("mixes.tvmix");
    }
    void forget(const char *name)
    {
        KMix *mix = findThisSlct(project.file(), name);
        ASSERT_NE(nullptr, mix);
        ASSERT_EQ(1, deleteSlct(project.file(), name));
        KMix_delete(&mix);
    }

    TempDir dir;
    ProjectBuilder project;
    std::string path;
};

TEST_F(MixFile, MixWrittenAndLoadedBackIsTheSame)
{
    KFile *file = project.file();
    const std::string before = mixText(file, "Mix A");
    ASSERT_FALSE(before.empty());
    ASSERT_EQ(1, exportTovraMixToFile(file, path.c_str(), "Mix A", KMIXFILE_NEW));
    const std::string text = takeText(extractXmlDescFromOgg(path.c_str()));
    EXPECT_EQ(0u, text.find("<ZARK_MIX>"));
    EXPECT_NE(std::string::npos, text.find("<VERSION>2.000000</VERSION>"));
    EXPECT_NE(std::string::npos, text.find(std::string("<FKEY>") + file->fileId + "</FKEY>"));
    EXPECT_EQ(takeText(_tvr_strcpy(file->fileId)), takeText(getIdFromMixTovraFile(path.c_str())));

    forget("Mix A");
    EXPECT_EQ(nullptr, findThisSlct(file, "Mix A"));
    ASSERT_EQ(1, loadTovraMixFile(file, path.c_str()));
    EXPECT_EQ(before, mixText(file, "Mix A"));
    EXPECT_DOUBLE_EQ(0.5, findThisSlct(file, "Mix A")->masterGain);
    EXPECT_EQ(findThisSlct(file, "Mix A"), MixManager_getDefaultMix(file->mixes));
}

TEST_F(MixFile, AddedMixesAreAllLoaded)
{
    KFile *file = project.file();
    ASSERT_EQ(1, exportTovraMixToFile(file, path.c_str(), "Mix A", KMIXFILE_NEW));
    ASSERT_EQ(1, exportTovraMixToFile(file, path.c_str(), "Mix B", KMIXFILE_ADD));
    EXPECT_EQ(2u, countOf(takeText(extractXmlDescFromOgg(path.c_str())), "<TOVIX>"));
    const std::string a = mixText(file, "Mix A"), b = mixText(file, "Mix B");
    forget("Mix A");
    forget("Mix B");
    ASSERT_EQ(1, loadTovraMixFile(file, path.c_str()));
    EXPECT_EQ(a, mixText(file, "Mix A"));
    EXPECT_EQ(b, mixText(file, "Mix B"));
    EXPECT_EQ(2, getNbSlct(file));
}

TEST_F(MixFile, OtherFilesAndProjectsAreRefused)
{
    KFile *file = project.file();
    ASSERT_EQ(1, exportTovraMixToFile(file, path.c_str(), "Mix A", KMIXFILE_NEW));
    ProjectBuilder other("Other");
    other.track("Bass");
    TovraGenerateFileId(other.file());
    EXPECT_EQ(KMIXFILE_ERR_FILE_ID, loadTovraMixFile(other.file(), path.c_str()));
    ProjectBuilder unsaved("Unsaved");
    EXPECT_EQ(KMIXFILE_ERR_FILE_ID, loadTovraMixFile(unsaved.file(), path.c_str()));
    EXPECT_EQ(0, getNbSlct(other.file()));

    // A project file, another project's mix file, a file without FKEY.
    const std::string projectFile = dir.file("song.tvprj");
    ASSERT_EQ(1, MeskToOgg5(nullptr, projectFile.c_str(), nullptr,
                            "<TOVRA-2.0><VERSION>2.000000</VERSION></TOVRA-2.0>", nullptr));
    EXPECT_EQ(KMIXFILE_ERR_ROOT, loadTovraMixFile(file, projectFile.c_str()));
    const std::string noKey = dir.file("nokey.tvmix");
    ASSERT_EQ(1, MeskToOgg5(nullptr, noKey.c_str(), nullptr,
                            "<ZARK_MIX><VERSION>2.000000</VERSION></ZARK_MIX>", nullptr));
    EXPECT_EQ(nullptr, getIdFromMixTovraFile(noKey.c_str()));
    EXPECT_EQ(KMIXFILE_ERR_FILE_ID, loadTovraMixFile(file, noKey.c_str()));
    const std::string badVersion = dir.file("version.tvmix");
    ASSERT_EQ(1, MeskToOgg5(nullptr, badVersion.c_str(), nullptr,
                            "<ZARK_MIX><VERSION>7.0</VERSION><FKEY>x</FKEY></ZARK_MIX>", nullptr));
    EXPECT_EQ(KMIXFILE_ERR_VERSION, loadTovraMixFile(file, badVersion.c_str()));
    EXPECT_EQ(nullptr, getIdFromMixTovraFile(badVersion.c_str()));
    const std::string junk = dir.file("junk.tvmix");
    fixtures::writeBytes(junk, "not a container");
    testing::internal::CaptureStderr();
    EXPECT_EQ(KMIXFILE_ERR_NO_DESC, loadTovraMixFile(file, junk.c_str()));

    // Adding to a file that is not this project's mix file writes nothing.
    const std::string projectBytes = fixtures::readBytes(projectFile);
    EXPECT_EQ(KMIXFILE_ERR_ROOT,
              exportTovraMixToFile(file, projectFile.c_str(), "Mix B", KMIXFILE_ADD));
    EXPECT_EQ(projectBytes, fixtures::readBytes(projectFile));
    const std::string otherMixes = dir.file("other.tvmix");
    other.track("Drums");
    addTrackInCurrentMix(other.file(), "Bass");
    ASSERT_EQ(1, saveCurrentSlct(other.file(), "Theirs"));
    ASSERT_EQ(1, exportTovraMixToFile(other.file(), otherMixes.c_str(), "Theirs", KMIXFILE_NEW));
    const std::string otherBytes = fixtures::readBytes(otherMixes);
    EXPECT_EQ(KMIXFILE_ERR_FILE_ID,
              exportTovraMixToFile(file, otherMixes.c_str(), "Mix B", KMIXFILE_ADD));
    EXPECT_EQ(otherBytes, fixtures::readBytes(otherMixes));
    EXPECT_EQ(KMIXFILE_ERR_NO_DESC,
              exportTovraMixToFile(file, junk.c_str(), "Mix B", KMIXFILE_ADD));
    testing::internal::GetCapturedStderr();

    EXPECT_EQ(KMIXFILE_ERR_PARAM, exportTovraMixToFile(nullptr, path.c_str(), "Mix A", 1));
    EXPECT_EQ(KMIXFILE_ERR_PARAM, exportTovraMixToFile(file, path.c_str(), nullptr, 1));
    EXPECT_EQ(KMIXFILE_ERR_NO_DESC, exportTovraMixToFile(file, path.c_str(), "No such mix", 1));
}

TEST_F(MixFile, AMixThatCannotBeReadAddsNothing)
{
    KFile *file = project.file();
    const std::string good = mixText(file, "Mix B");
    std::string renamed = good;
    renamed.replace(renamed.find("Mix B"), 5, "Mix C");
    const std::string text = std::string("<ZARK_MIX><VERSION>2.000000</VERSION><FKEY>") +
                             file->fileId + "</FKEY>" + renamed +
                             "<TOVIX><MASTERLEVEL>abc</MASTERLEVEL></TOVIX></ZARK_MIX>";
    ASSERT_EQ(1, MeskToOgg5(nullptr, path.c_str(), nullptr, text.c_str(), nullptr));
    testing::internal::CaptureStderr();
    EXPECT_EQ(KMIXFILE_ERR_CHILD, loadTovraMixFile(file, path.c_str()));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(nullptr, findThisSlct(file, "Mix C"));
    EXPECT_EQ(2, getNbSlct(file));
}

TEST_F(MixFile, UnwritablePathIsReported)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(KMIXFILE_ERR_PARSE,
              exportTovraMixToFile(project.file(), dir.file("none/x.tvmix").c_str(), "Mix A", 1));
    const std::string text = testing::internal::GetCapturedStderr();
    EXPECT_NE(
        std::string::npos,
        text.find(
            " !!! ERROR - int exportTovraMixToFile (KFile* file) :  error during codage (-1)"));
}

TEST_F(MixFile, CurrentMixLevelFunctions)
{
    KFile *file = project.file();
    EXPECT_DOUBLE_EQ(-30.0, getTrackLevel(file, "Bass"));
    EXPECT_DOUBLE_EQ(-1.0, getTrackLevel(file, "Nobody"));
    EXPECT_EQ(1, initializeLevel(file));
    EXPECT_DOUBLE_EQ(-30.0, getTrackLevel(file, "Bass"));
    EXPECT_EQ(-1, initializeLevel(nullptr));
    EXPECT_EQ(0, updateLevel(project.elt("Bass")));
    testing::internal::CaptureStderr();
    EXPECT_EQ(1, randomMix(file));
    EXPECT_EQ("!!! WARNING : int randomMix (KFile* file) is not implemented !!!\n",
              testing::internal::GetCapturedStderr());
}

} // namespace
