// What the console dialogue prints before anything else happens.
#ifndef CONSOLE_TRANSCRIPT_H
#define CONSOLE_TRANSCRIPT_H

#include <string>

// The banner, the advice and both prompts, exactly as a run prints them
// before it reports anything about the size typed.
inline const std::string dialogueTranscript =
    "< Maze Generator >\n\n"
    "Reasonalbe values for height and width are < 150, but feel free to go higher\n\n"
    "Please enter the width of the maze: "
    "Please enter the height of the maze: ";

#endif
