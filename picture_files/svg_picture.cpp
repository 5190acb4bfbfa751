// The SVG writer: the text written straight out as the maze is read, a path
// element per few thousand lines so that no reader meets an attribute too
// long for it.
#include <cstdio>
#include <string>

#include "maze.h"
#include "maze_lines.h"
#include "picture_writers.h"

namespace {

constexpr int linesPerPath = 4096;

std::string escaped(const std::string& text)
{
    std::string result;
    for (char character : text) {
        switch (character) {
        case '&': result += "&amp;"; break;
        case '<': result += "&lt;"; break;
        case '>': result += "&gt;"; break;
        case '"': result += "&quot;"; break;
        default: result += character;
        }
    }
    return result;
}

// Writes path elements of at most linesPerPath pieces each.
class PathWriter {
public:
    PathWriter(OutputFile& file, std::string style) : file(file), style(std::move(style)) {}
    ~PathWriter() { close(); }

    void add(const char* piece)
    {
        if (pieces == 0)
            file.write("<path " + style + " d=\"");
        file.write(piece, std::char_traits<char>::length(piece));
        if (++pieces == linesPerPath)
            close();
    }

    void close()
    {
        if (pieces > 0)
            file.write("\"/>\n");
        pieces = 0;
    }

    bool atStart() const { return pieces == 0; }

private:
    OutputFile& file;
    std::string style;
    int pieces = 0;
};

}  // namespace

void writeSvgPicture(OutputFile& file, const PictureRequest& request, const PictureText& text,
                     const SolutionPath& solution, const SaveProgress& progress)
{
    const long long columns = static_cast<long long>(mazeWidth) + 2;
    const long long rows = static_cast<long long>(mazeHeight) + 2;
    char piece[256];
    std::snprintf(piece, sizeof piece, "%g", static_cast<double>(lineThickness(request.cellSize)) / request.cellSize);
    const std::string strokeWidth = piece;

    // Drawn crisply, as the window draws: square lines on white, one cell of
    // margin, sized cellSize pixels a cell unless the reader scales it.
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    std::snprintf(piece, sizeof piece,
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%lld\" height=\"%lld\" "
                  "viewBox=\"-1 -1 %lld %lld\" shape-rendering=\"crispEdges\">\n",
                  columns * request.cellSize, rows * request.cellSize, columns, rows);
    file.write(piece);
    file.write("<title>" + escaped(text.title) + "</title>\n");
    file.write("<desc>" + escaped(text.description) + " Made by " + escaped(text.software) + ".</desc>\n");
    std::snprintf(piece, sizeof piece, "<rect x=\"-1\" y=\"-1\" width=\"%lld\" height=\"%lld\" fill=\"#fff\"/>\n",
                  columns, rows);
    file.write(piece);

    const std::string lineStyle =
        "fill=\"none\" stroke-width=\"" + strokeWidth + "\" stroke-linecap=\"square\" stroke-linejoin=\"miter\"";
    {
        PathWriter walls(file, "stroke=\"#000\" " + lineStyle);
        traceWallRuns([&](int x1, int y1, int x2, int y2) {
            if (y1 == y2)
                std::snprintf(piece, sizeof piece, "M%d %dH%d", x1, y1, x2);
            else
                std::snprintf(piece, sizeof piece, "M%d %dV%d", x1, y1, y2);
            walls.add(piece);
        }, [&](long long y, long long height) { progress.report(y, height + 1); });
    }
    if (solution.cells != nullptr) {
        // Each path element after the first starts where the last one ended.
        PathWriter line(file, "stroke=\"#f00\" " + lineStyle);
        int lastX = 0;
        int lastY = 0;
        bool first = true;
        traceSolutionTurns(solution, [&](int x, int y) {
            if (!first && line.atStart()) {
                std::snprintf(piece, sizeof piece, "M%d.5 %d.5", lastX, lastY);
                line.add(piece);
            }
            std::snprintf(piece, sizeof piece, first ? "M%d.5 %d.5" : "L%d.5 %d.5", x, y);
            line.add(piece);
            first = false;
            lastX = x;
            lastY = y;
        });
    }
    file.write("</svg>\n");
}
