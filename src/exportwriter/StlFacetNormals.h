#pragma once

// Binary STL as it streams to disk, with every facet normal computed from its
// triangle's corners. Assimp's exporter writes the mean of the vertex
// normals instead, which on a solid's walls (corners shared with the top and
// the bottom) points nowhere near the facet's own normal.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace trackexport {

class StlFacetNormals {
public:
    using Put = std::function<bool(std::string_view)>;

    // The next bytes of the file, from its start on; false when put fails.
    bool Pass(std::string_view data, const Put& put);
    // Whatever is held back (a record cut short) as it stands.
    bool Finish(const Put& put);

private:
    std::size_t offset_ = 0; // bytes of the file seen
    std::string record_;     // the record being gathered
    std::string out_;        // fixed records not yet put
};

} // namespace trackexport
