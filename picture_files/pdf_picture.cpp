// The PDF writer: cairo draws the maze on a page fitted to the paper, and the
// same maze with its solution on a second page when asked.
#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>

#include "maze.h"
#include "maze_lines.h"
#include "picture_writers.h"

namespace {

constexpr double pointsPerMillimetre = 72 / 25.4;
constexpr double margin = 36;  // half an inch, within what printers leave blank
// Lines drawn before each stroke, so that cairo never holds a whole large maze as one path.
constexpr int linesPerStroke = 4096;
constexpr double lineWidthInCells = 0.1;

cairo_status_t writeToFile(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<OutputFile*>(closure)->write(data, length);
    return CAIRO_STATUS_SUCCESS;
}

struct Page {
    double width;
    double height;
};

Page paperPage(Paper paper)
{
    if (paper == Paper::LETTER)
        return Page{8.5 * 72, 11 * 72};
    return Page{210 * pointsPerMillimetre, 297 * pointsPerMillimetre};
}

// The page turned whichever way gives the maze, margin cells included, the
// larger cells; upright when both do the same.
struct Layout {
    Page page;
    double cell;  // points a cell
    double left;  // where the maze's top-left margin corner lies
    double top;
};

Layout fitOnPage(Page upright)
{
    const double columns = static_cast<double>(mazeWidth) + 2;
    const double rows = static_cast<double>(mazeHeight) + 2;
    auto cellOn = [&](Page page) {
        return std::min((page.width - 2 * margin) / columns, (page.height - 2 * margin) / rows);
    };
    const Page turned{upright.height, upright.width};
    Layout layout;
    layout.page = cellOn(turned) > cellOn(upright) ? turned : upright;
    layout.cell = cellOn(layout.page);
    layout.left = (layout.page.width - columns * layout.cell) / 2;
    layout.top = (layout.page.height - rows * layout.cell) / 2;
    return layout;
}

// The maze in grid coordinates (a cell a unit, the margin one cell), recorded
// once and painted on every page: the PDF then holds its lines once, as a
// form both pages show, in short whole numbers. cairo keeps coordinates in
// fixed point, 24 bits whole and 8 a fraction of a unit, and fails an
// assertion painting a form whose unit is less than a 256th of a point on the
// page: a maze so large that a cell is less than that on the page (more than
// about 200000 cells across), or that its sides reach 2^23 cells, is recorded
// in larger units. No printed page can tell.
constexpr double largestRecordedSide = 4194304;
constexpr double smallestUnitOnPage = 1.0 / 128;

double recordingScale(double cellPoints)
{
    const double longerSide = std::max(static_cast<double>(mazeWidth), static_cast<double>(mazeHeight)) + 2;
    return std::min({1.0, largestRecordedSide / longerSide, cellPoints / smallestUnitOnPage});
}

cairo_surface_t* recordMaze(double scale, const SaveProgress& progress)
{
    const cairo_rectangle_t extents{-scale, -scale, (static_cast<double>(mazeWidth) + 2) * scale,
                                    (static_cast<double>(mazeHeight) + 2) * scale};
    cairo_surface_t* maze = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    cairo_t* cairo = cairo_create(maze);
    cairo_scale(cairo, scale, scale);
    cairo_set_line_width(cairo, lineWidthInCells);
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_SQUARE);
    cairo_set_source_rgb(cairo, 0, 0, 0);
    int pending = 0;
    traceWallRuns([&](int x1, int y1, int x2, int y2) {
        cairo_move_to(cairo, x1, y1);
        cairo_line_to(cairo, x2, y2);
        if (++pending == linesPerStroke) {
            cairo_stroke(cairo);
            pending = 0;
        }
    }, [&](long long y, long long height) { progress.report(y, 2 * (height + 1)); });
    cairo_stroke(cairo);
    cairo_destroy(cairo);
    return maze;
}

void drawPage(cairo_t* cairo, const Layout& layout, cairo_surface_t* maze, double recorded,
              const SolutionPath* solution)
{
    cairo_save(cairo);
    cairo_translate(cairo, layout.left + layout.cell, layout.top + layout.cell);
    cairo_scale(cairo, layout.cell / recorded, layout.cell / recorded);
    cairo_set_source_surface(cairo, maze, 0, 0);
    cairo_paint(cairo);
    cairo_scale(cairo, recorded, recorded);

    if (solution != nullptr) {
        cairo_set_line_width(cairo, lineWidthInCells);
        cairo_set_line_cap(cairo, CAIRO_LINE_CAP_SQUARE);
        cairo_set_line_join(cairo, CAIRO_LINE_JOIN_MITER);
        cairo_set_source_rgb(cairo, 1, 0, 0);
        bool first = true;
        traceSolutionTurns(*solution, [&](int x, int y) {
            if (first)
                cairo_move_to(cairo, x + 0.5, y + 0.5);
            else
                cairo_line_to(cairo, x + 0.5, y + 0.5);
            first = false;
        });
        cairo_stroke(cairo);
    }
    cairo_restore(cairo);
    cairo_show_page(cairo);
}

}  // namespace

void writePdfPicture(OutputFile& file, const PictureRequest& request, const PictureText& text,
                     const SolutionPath& solution, const SaveProgress& progress)
{
    const Layout layout = fitOnPage(paperPage(request.paper));
    cairo_surface_t* surface =
        cairo_pdf_surface_create_for_stream(writeToFile, &file, layout.page.width, layout.page.height);
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, text.title.c_str());
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_SUBJECT, text.description.c_str());
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, text.software.c_str());
    // No date: the same seed and size make the same file, byte for byte. (cairo
    // leaves out a date it cannot read, and would otherwise write the time.)
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE, "");
    const double recorded = recordingScale(layout.cell);
    cairo_surface_t* maze = recordMaze(recorded, progress);
    cairo_t* cairo = cairo_create(surface);
    drawPage(cairo, layout, maze, recorded, nullptr);
    if (request.withSolution)
        drawPage(cairo, layout, maze, recorded, &solution);
    const cairo_status_t drawn = cairo_status(cairo);
    cairo_destroy(cairo);
    cairo_surface_finish(surface);
    const cairo_status_t finished = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    cairo_surface_destroy(maze);
    if (drawn != CAIRO_STATUS_SUCCESS)
        file.fail(std::string("cairo: ") + cairo_status_to_string(drawn));
    if (finished != CAIRO_STATUS_SUCCESS)
        file.fail(std::string("cairo: ") + cairo_status_to_string(finished));
}
