// The template sheet: every chunk template drawn to scale in a panel of its own, with its origin,
// its exit, its ledge markers and a bar chart of the chance of each template following it. What
// someone adding or tuning a template looks at.
#pragma once

#include <ostream>

// Writes the sheet as an SVG document. Needs the chunk templates built.
void writeTemplateSheet(std::ostream& out);
