/* A C host of the K4x trace configuration library: sets a property of
 * K4x_DSP0, saves it to the device's settings file and loads it back,
 * connects to the live target and looks up output files, answering the
 * library's question about an unknown CPU with the path given as argument. */
#include "k4xtrace_c.h"

#include <stdio.h>

/* The host's answer to the library's question: the path it was given. */
static void answer(void* path, const char* question, k4x_answer* reply)
{
    printf("the library asks: %s\n", question);
    k4x_set_answer(reply, (const char*)path);
}

/* Reports a failed call with the handle's text; nonzero when it failed. */
static int failed(k4x_manager* manager, k4x_status status, const char* call)
{
    if (status == K4X_OK) return 0;
    /* The handle owns the text until the next call on it. */
    fprintf(stderr, "%s: %s: %s\n", call, k4x_status_text(status), k4x_error_text(manager));
    return 1;
}

int main(int argc, char** argv)
{
    k4x_manager* dsp = NULL;
    const char* version = "";
    int32_t mode = 0;
    int twp = 0, bad;
    char live[512] = "", answered[512] = "";
    if (argc != 2) {
        fprintf(stderr, "usage: %s FILE (an existing file: the answer for C6x_core9)\n", argv[0]);
        return 2;
    }
    /* NULL: the configuration library in the folder of the C library. */
    bad = failed(dsp, k4x_open(NULL, "K4x_DSP0", 0, 0, &dsp), "k4x_open") ||
          failed(dsp, k4x_library_version(dsp, &version), "k4x_library_version") ||
          failed(dsp, k4x_set_int(dsp, "Trace Mode", 2), "k4x_set_int") ||
          failed(dsp, k4x_save(dsp, "K4x_DSP0-TCfg.txt", K4X_FILE_TEXT), "k4x_save") ||
          failed(dsp, k4x_set_int(dsp, "Trace Mode", 0), "k4x_set_int") ||
          failed(dsp, k4x_load(dsp, "K4x_DSP0-TCfg.txt", K4X_FILE_TEXT), "k4x_load") ||
          failed(dsp, k4x_get_int(dsp, "Trace Mode", &mode), "k4x_get_int") ||
          failed(dsp, k4x_load_live(dsp), "k4x_load_live") ||
          failed(dsp, k4x_get_bool(dsp, "TWP_Protocol", &twp), "k4x_get_bool") ||
          failed(dsp, k4x_out_file(dsp, "K4x_DSP1", NULL, NULL, live, sizeof live, NULL), "k4x_out_file") ||
          failed(dsp, k4x_out_file(dsp, "C6x_core9", answer, argv[1], answered, sizeof answered, NULL), "k4x_out_file");
    if (!bad) {
        printf("C interface %s, configuration library %s\n", k4x_version(), version);
        printf("Trace Mode = %d, loaded back from the settings file\n", (int)mode);
        printf("TWP_Protocol = %s, from the live target\n", twp ? "true" : "false");
        printf("K4x_DSP1 runs %s\nC6x_core9 runs %s\n", live, answered);
    }
    k4x_close(dsp); /* every handle, also after a failed k4x_open */
    return bad;
}
