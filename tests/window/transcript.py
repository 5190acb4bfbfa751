"""The console text a user sees in a successful run, for a maze whose solver run is known."""

BANNER = "< Maze Generator >\n\n"
ADVICE = "Reasonalbe values for height and width are < 150, but feel free to go higher\n\n"
WIDTH_PROMPT = "Please enter the width of the maze: "
HEIGHT_PROMPT = "Please enter the height of the maze: "
GENERATING = "Generating maze...\n"
DONE_GENERATING = "Done generating maze...\n"
SOLVING = "Solving the maze...I bet I can do this faster than you.\n"
DONE_SOLVING = "I'm done trying to solve the maze and did it in %d moves\n"
PRESS_SPACE = "\nPress spacebar to see my solution to the maze\n"
SAVED = "\nI saved the maze%s as '%s'\n"  # without a window: " and my solution" or nothing, and the file


def expected_transcript(solver_run):
    """Typed input is not echoed (it comes from a pipe), so the prompts run into each other."""
    return (BANNER + ADVICE + WIDTH_PROMPT + HEIGHT_PROMPT + GENERATING + DONE_GENERATING + SOLVING
            + "".join(solver_run.messages)
            + DONE_SOLVING % solver_run.solution_moves
            + PRESS_SPACE)
