#pragma once

// Small builders of documents shared by tests, benchmarks and the fuzz corpus.

#include "document/OpenGLTemplateDoc.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace builders {

// Links site siteA of a with site siteB of b both ways, as the sites dialog does.
inline void linkSites(SurfaceSection& a, int siteA, SurfaceSection& b, int siteB, bool reversed = false)
{
    AttachmentSite& x = a.attachmentSites[siteA];
    AttachmentSite& y = b.attachmentSites[siteB];
    auto one = [reversed](AttachmentSite& from, const AttachmentSite& to, SurfaceSection& other) {
        from.otherSurface = &other;
        setText(from.otherSurfaceName, textOf(other.name));
        setText(from.otherSurfaceGroupName, textOf(other.groupName));
        from.partnerSideFlag = to.sideFlag;
        from.partnerFirstFlag = to.firstFlag;
        from.partnerAttachedLow = to.attachedLow;
        from.partnerAttachedHigh = to.attachedHigh;
        from.reversed = reversed ? 1 : 0;
    };
    one(x, y, b);
    one(y, x, a);
}

// Records `pseudo` as the pseudo surface of a site.
inline void setPseudo(SurfaceSection& s, int site, SurfaceSection& pseudo)
{
    AttachmentSite& x = s.attachmentSites[site];
    x.pseudoSurface = &pseudo;
    setText(x.pseudoSurfaceName, textOf(pseudo.name));
    setText(x.pseudoSurfaceGroupName, textOf(pseudo.groupName));
}

inline void addHole(SurfaceSection& s, const char* name, double u0, double u1, double v0, double v1)
{
    SurfaceHole h;
    setText(h.name, name);
    h.rightLeftLow = u0;
    h.rightLeftHigh = u1;
    h.frontBackLow = v0;
    h.frontBackHigh = v1;
    s.holes.push_back(h);
}

// A new document with four surfaces in two groups: "a" and "b" in "main",
// "a" (again) and "c" in "track" (a long, turning channel of type B), with
// linked sites within and across groups, a pseudo surface, two holes and a
// hidden surface.
inline void fillTrackDocument(COpenGLTemplateDoc& doc)
{
    doc.OnNewDocument();
    SurfaceSection& a = *doc.surfaces[0];
    SurfaceSection& b = *doc.CreateChannelSurface("b", 7, 3);
    b.surfaceType = kTypeC;
    SurfaceGroup* track = doc.CreateGroup("track");
    doc.currentGroup = track;
    SurfaceSection& a2 = *doc.CreateChannelSurface("a", 4, 0);
    SurfaceSection& c = *doc.CreateChannelSurface("c", 9, 12);
    c.surfaceType = kTypeB;
    c.finalDirection = {0.0, 0.0, 1.0};
    c.Regenerate(false);
    doc.currentGroup = doc.groups[0].get();

    linkSites(a, 0, b, 1);           // a.end - b.begin, same group
    linkSites(b, 0, c, 1, true);     // b.end - c.begin, across groups
    setPseudo(a2, 2, a);             // a pseudo surface in another group
    addHole(b, "pit", 0.25, 0.75, 0.4, 0.6);
    addHole(c, "Gap", 0.0, 1.0, 0.9, 0.95);
    c.wrapV = true;
    b.reverseNormal = true;
    a2.render = 0;
    a2.coloring = Coloring::Curvature;
    doc.showFocalPoint = true;
    doc.launchDirection = {0.25, 0.0, -1.0};
}

// A document of `count` channels of `points` points and `intermediate`
// intermediate sections each, named s0, s1, ... in the main group, each
// linked end to begin with the next; s0 holds the ball start.
inline void fillChainDocument(COpenGLTemplateDoc& doc, int count, int points, int intermediate)
{
    doc.DeleteContents();
    doc.EnsureMainGroup();
    SurfaceSection* previous = nullptr;
    for (int k = 0; k < count; ++k) {
        std::string name = "s";
        name += std::to_string(k);
        SurfaceSection* s = doc.CreateChannelSurface(name, points, intermediate);
        if (previous) linkSites(*previous, 0, *s, 1);
        previous = s;
    }
}

// A file in the temporary directory, removed when the object goes away.
class TempFile {
public:
    explicit TempFile(const std::string& stem)
    {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern(dir && *dir ? dir : "/tmp");
        pattern.append("/marlwick-").append(stem).append("-XXXXXX");
        const int fd = ::mkstemp(pattern.data());
        if (fd >= 0) ::close(fd);
        path_ = pattern;
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }

    void write(const std::vector<std::uint8_t>& bytes) const
    {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> read() const
    {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::string path_;
};

} // namespace builders
