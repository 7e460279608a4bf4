#pragma once

#include <string>

namespace zpak {
class ProjectDocument;
}

namespace zpak::test {

// Every field of the document, with absent texts told apart from empty ones,
// so that two documents compare equal exactly when their dumps do.
std::string Dump(const ProjectDocument& document);

}  // namespace zpak::test
