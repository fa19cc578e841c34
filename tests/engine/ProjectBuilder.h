// Test fixture helpers: a project built by name in a few lines, and owners for the arrays the
// engine returns. Every helper asserts that the engine accepted the step.
#ifndef PROJECT_BUILDER_H
#define PROJECT_BUILDER_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "KFile.h"
#include "tvr_utils.h"

// Owns a project for the length of a test.
class ProjectBuilder {
public:
    explicit ProjectBuilder(const char *name = "Project") : file_(newZark(name, 2.0)) {}
    ~ProjectBuilder() { _freeZark(file_); }
    ProjectBuilder(const ProjectBuilder &) = delete;
    ProjectBuilder &operator=(const ProjectBuilder &) = delete;

    KFile *file() const { return file_; }
    KElement *elt(const char *name) const { return giveElt(file_, name); }

    // A track of `length` frames starting at `date`.
    ProjectBuilder &track(const char *name, uint32_t length = 44100, int date = 0)
    {
        EXPECT_EQ(1, addTrack(file_, createTrack(date, nullptr, length), name)) << name;
        return *this;
    }
    // A visible kind-10 group {min, max} holding the given members.
    ProjectBuilder &group(const char *name, std::initializer_list<const char *> members = {},
                          int min = 0, int max = 1000)
    {
        EXPECT_EQ(1, createElt(file_, KCONST_GROUP, name, createDataGrp(min, max))) << name;
        return link(name, members);
    }
    // A hidden rule of `kind`; for an implication `implying` names the implying element.
    ProjectBuilder &rule(int kind, const char *name, std::initializer_list<const char *> members,
                         const char *implying = nullptr)
    {
        void *data = kind == KCONST_GROUP ? static_cast<void *>(createDataGrp(0, 1))
                                          : const_cast<char *>(implying);
        EXPECT_EQ(1, createElt(file_, kind, name, data)) << name;
        hideElt(file_, name);
        return link(name, members);
    }
    ProjectBuilder &link(const char *group, std::initializer_list<const char *> members)
    {
        for (const char *m : members)
            EXPECT_EQ(1, addSubElt(file_, group, m)) << group << " <- " << m;
        return *this;
    }

private:
    KFile *file_;
};

// Frees an engine array (not its strings) when it goes out of scope.
struct EngineArray {
    explicit EngineArray(const void *array) : array(array) {}
    ~EngineArray()
    {
        if (array) {
            tvr_free_called();
            std::free(const_cast<void *>(array));
        }
    }
    EngineArray(const EngineArray &) = delete;
    EngineArray &operator=(const EngineArray &) = delete;
    const void *array;
};

// Copies an engine name array into strings and frees the array.
inline std::vector<std::string> takeNames(const char **names, int count)
{
    EngineArray owner(names);
    std::vector<std::string> out;
    for (int i = 0; names && i < count; ++i)
        out.emplace_back(names[i] ? names[i] : "(null)");
    return out;
}

#endif
