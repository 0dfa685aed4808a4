/* ---- condition insight ---- */

/* VeltrinExplain (optional; hosts that know only the ten exports are
   unaffected, and nothing the ten answer depends on it).

   Explains a condition text without preparing it for a run: what every line
   is, the code-to-score table and range as the engine uses them, every
   diagnostic, each condition's exact kept share over all candidates of
   `digits` digits, its hits over past draws, and on request the whole
   setting's kept count.

     conditionText  the condition text, as SetFilterStr takes it (GBK)
     digits         digits of a bet, 1-100; 0: no counts over candidates
     historyText    past draws, oldest first, one per line: "issue digits"
                    or "digits"; blank lines and lines starting with '#'
                    are skipped; null or empty: no history
     lastDraws      the hit rate counts the latest this many draws; 0: all
     flags          VELTRIN_EXPLAIN_* below, or-ed

   Returns a counted string from the shared memory module (reference count
   1, 32-bit length before the first byte) that the host releases:
   ShareFreeMem((char*)result - 8). Null when memory ran out. Cost: the
   distributions take microseconds per condition at 9 digits and grow with
   digits^2; VELTRIN_EXPLAIN_SETTING enumerates the candidates when that
   takes under about a second and otherwise scores a fixed-seed sample. */
#define VELTRIN_EXPLAIN_DISTRIBUTIONS 1 /* "dist" records */
#define VELTRIN_EXPLAIN_SETTING 2       /* "setting" and "failures" records */
#define VELTRIN_EXPLAIN_DRAW_SCORES 4   /* "drawscores", "draws", "drawfails" */

/* Resolved by name at run time (GetProcAddress / dlsym): a null address
   means a library without it. VELTRIN_API is the header's calling
   convention (__stdcall in the 32-bit Windows build). */
typedef char*(VELTRIN_API* PFN_VeltrinExplain)(const char* conditionText, int32_t digits,
                                               const char* historyText, int32_t lastDraws,
                                               int32_t flags);

/* The result, format "VELTRIN-EXPLAIN" version 1: GBK text, one record per
   line (LF), fields separated by a tab. A field never holds a tab or a line
   break: a backslash is written "\\", a tab "\t", CR "\r", LF "\n". A reader
   skips records whose tag it does not know; a later version adds records or
   trailing fields and raises the version only when a record changes meaning.
   Lines are numbered from 1 after ';' became line breaks.

     VELTRIN-EXPLAIN  1
     text   valid(0|1) digits lines conditions tolerance("lo-hi"|"-") draws
     line   n kind(condition|tolerance|ignored) index("-"|0..) mode("-"|0|1|2)
            lower upper text      (for a tolerance line: its range)
     scores n s0 ... s99          (one field: 100 scores, space-separated:
                                   the score of codes 00..99 as evaluated)
     kept   n kept total share minScore maxScore
                                  (exact counts over the 10^digits candidates;
                                   share as a decimal, kept/total exactly)
     dist   n "score:count ..."   (every score some candidate reaches)
     hits   n kept draws          (the latest `draws` draws, kept by the range)
     drawscores n "s s ..."       (each considered draw's score, latest first)
     diag   n severity(invalid|warning) field(line|mode|table|range|tolerance)
            code text message     (n 0: the whole text; message: plain words)
     hdiag  historyLine message   (a history line that is no draw)
     history draws kept           (draws considered; kept by the whole setting)
     draws  "issue=digits ..."    (latest first)
     drawfails "f f ..."          (conditions each draw fails, latest first)
     setting exact|estimate kept of share bound seed
                                  (exact: kept of all candidates, bound 0,
                                   seed "-"; estimate: kept of a sample of
                                   `of` candidates, 99% bound of the share)
     failures "c0 c1 ..."         (candidates failing 0, 1, ... conditions)
     end                          (the answer is complete)

   Codes of "diag" (stable): bad-score, bad-code, bad-lower, bad-upper,
   blank-text, no-conditions (invalid: SzcPrepare answers false); mode-unknown,
   mode-group, mode-blanks, no-colon, one-colon, table-empty, group-no-equals,
   score-wraps, code-not-two-digits, code-separator, code-leftover,
   code-outside, code-repeated, range-no-dash, range-reversed,
   range-keeps-nothing, range-keeps-all, line-blanks, empty-line,
   sup-tolerance-line, tolerance-not-first, tolerance-unread,
   tolerance-left-on, tolerance-separator, tolerance-long-upper,
   tolerance-above-count, tolerance-keeps-nothing (warnings). */
/* ---- end of condition insight ---- */
