TARVIK3D HELP: LOADING A DATA FILE (STEP 1)
===========================================

Step 1 reads your measurements and asks which columns hold what. Press
"Load File", choose the file, check the list of column names the program
shows, then pick a column for each of the six roles and press "Continue".


1. WHAT THE DATA FILE MUST LOOK LIKE
------------------------------------

- A plain text file (".txt") with cells separated by TAB characters, as
  written by "Save as... Text (Tab delimited)" in a spreadsheet program.
- The first line is the header: one name per column.
- Every further line is one vowel token: the subject, the vowel label, F1,
  F2, optionally the vowel's duration and the duration of the phrase it
  stood in, and as many further columns as you like (stress, context,
  speaker group, word position, ...). These further columns become the
  categories you build vowel groups from in Step 3.
- Every line must have exactly as many cells as the header has names.
- Save the file as UTF-8 ("Unicode (UTF-8)" in the save dialog of most
  programs); plain ASCII text is UTF-8 too. Letters of any script are kept
  as they are, so vowel labels in IPA or with accented letters keep their
  spelling, and two different labels stay two different vowels.
- A file that is not UTF-8 (often a Latin-1 export of an older spreadsheet
  program) is read as Latin-1, each byte one character, and a warning "File
  read as Latin-1" names the first line that is not UTF-8. If labels then
  look wrong, save the file as UTF-8 and load it again.
- A UTF-16 file ("Unicode" or "Unicode Text" in some programs) is refused
  with "Data File Encoding Error": save it as UTF-8 (or plain text).
- If another program writes to the file while it is being read, the load
  stops with "File changed while loading" and nothing of the file is
  loaded: load it again once that program has finished.

Example (the gaps are single tabs):

    Subject   Vowel   F1    F2     Dur    PhraseDur   Stress
    s01       i       310   2250   0.085  0.92        primary
    s01       a       720   1280   0.120  0.88        secondary


2. HEADER NAMES
---------------

Each name must begin with a letter and contain only letters (of any
script, with or without accents), digits and the underscore, at most 63
characters. Blanks and punctuation are turned into "_" for you: "Phrase
Duration" becomes Phrase_Duration and "F1 (Hz)" becomes F1__Hz_. These
names are refused with the message "Illegal field name":

- a name that begins with a digit or an underscore (1st, _id): rename it;
- an empty name, which you get when the header line ends in extra tabs;
- one of the words break, case, catch, continue, else, elseif, end, for,
  function, global, if, otherwise, persistent, return, switch, try, while.

If the first "name" is a number, your file probably has no header line:
add one.

No two columns may have the same name, also not once blanks and
punctuation have become "_" ("F1 (Hz)" and "F1_(Hz)" are both F1__Hz_).
Such a file is refused with "Duplicate field name", which names the
column: rename one of the two.

After the header has been read, "Are the data okay?" lists the names. Press
"continue" if they are the columns you expect, "cancel" to stop.


3. CELLS, MISSING VALUES AND NUMBERS
------------------------------------

- Blanks inside a cell become "_": New York is read as New_York. Other
  punctuation except "-" and "." becomes "_" as well: a/b is read as a_b.
  Letters of any script and digits are kept as they are.
- Write NULL in a cell whose value is missing. A single empty cell (two
  tabs in a row, or a tab at the very start or end of a line) is read as
  NULL for you; two or more empty cells side by side inside a line are not,
  and the line then has too few cells. Fill them with NULL.
- Tokens whose Subject or Vowel cell is NULL are left out of the analysis.
- Numbers use a decimal point and may carry a minus sign and an exponent
  written with e: 512, -3.25, 1.5e-3. A decimal comma (1,5), a plus sign in
  the exponent (1e+3) or blanks around the number make the cell "not a
  number"; it is then treated as a missing measurement (NaN) and every
  mean that includes it is NaN too.
- Lines with no character at all are skipped. A line holding only blanks
  is not empty and will usually fail the cell count.

When a line has the wrong number of cells the load stops with "Data File
Format Error" and the file line number (the header is line 1, empty lines
are counted). The activity log ("View Log") shows the offending line as it
was read, so you can see where a cell went missing.


4. SELECT CORRECT HEADERS
-------------------------

After a successful load, the file name appears above "Load File" and the six
menus below offer "(please select)", "(not available)" and your column
names. Choose:

  Subject            the column naming the speaker (required)
  Vowel              the vowel label of the token (required)
  Spectral 1         the first formant, F1 (required)
  Spectral 2         the second formant, F2 (required)
  Temporal segment   the vowel's duration, or "(not available)"
  Temporal phrase    the phrase duration, or "(not available)"

Rules checked when you press "Continue":

- No menu may stay at "(please select)", not even the phrase duration: if
  you have no such column, choose "(not available)".
- Subject, Vowel, F1 and F2 cannot be "(not available)".
- No column may be chosen for two roles.
- Without a segment duration you are asked "Proceed with 2D only?". The
  analysis is then limited to the F2 x F1 plane: no ellipsoids, no 3D
  overlap and no 3D plots.
- Phrase duration is only needed for the phrase-duration normalization of
  Step 2.

Loading another file while Step 1 is active replaces the data and keeps your
choices in the six menus.


5. WHAT THE PROGRAM DOES ON "CONTINUE"
--------------------------------------

- Every column is sorted into numeric or category by its first value that
  is not missing (NULL, an empty cell, NA and NaN are skipped): a number
  (such as 512, -3 or 1.5e-3) makes a numeric column; anything else makes a
  category, whatever it looks like (un-stressed, a-b, x.y). Subject and Vowel
  are usually among the categories. A column with no value at all is numeric.
- For every category it lists the different values ("types") in the order
  they first occur. These are the lists you pick from in Step 3.
- It collects each subject's tokens vowel by vowel (F1, F2, durations and
  the row each token came from) and writes a summary per subject to the
  activity log.
- Step 2 (normalization) becomes active. Steps 1 and 2 cannot be reopened
  in the same window: save your session (File, "Save Session") first if
  you may want to try other choices later.
