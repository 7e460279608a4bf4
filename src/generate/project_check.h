#pragma once

#include "generate/resolved_run.h"
#include "model/project_pages.h"
#include "model/record_ref.h"

#include <filesystem>
#include <string>
#include <vector>

namespace zpak {

class ProjectDocument;
class RecordLines;

// One problem of a project.
struct Diagnostic {
    Severity severity = Severity::Error;
    std::string code;  // problem_codes.h
    int line = 0;      // of the project file as read; 0 when unknown
    ProjectPage page = ProjectPage::Generate;
    RecordRef record;
    std::string text;
    std::string file;  // the file `line` is of, when it is not the project's
};

// Every problem of a project that has been read: what generation with
// `choice` refuses (errors, as its messages say them) and what it accepts
// but a player would regret (warnings). Lines come from `lines` when the
// project is as it was read. In the order of the project file (of the pages
// without lines).
std::vector<Diagnostic> CheckProject(const ProjectDocument& document, GenerationChoice choice,
                                     const std::filesystem::path& winePrefix,
                                     const RecordLines* lines = nullptr);

// Problems as diagnostics, in the order of the project.
std::vector<Diagnostic> ToDiagnostics(const ProjectDocument& document, std::vector<Problem> problems,
                                      const RecordLines* lines);

// The problems of a resolved run, with the checks that only report.
std::vector<Diagnostic> DiagnoseRun(const ProjectDocument& document, const ResolvedRun& run,
                                    const std::filesystem::path& winePrefix,
                                    const RecordLines* lines = nullptr);

bool HasError(const std::vector<Diagnostic>& diagnostics);

}  // namespace zpak
