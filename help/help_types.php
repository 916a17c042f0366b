TARVIK3D HELP: CATEGORY TYPES
=============================

"Category types:" lists the values ("types") of the category selected in
"Categories:" above it. Select one type, then press ">>" to add it as a
constraint to the current vowel group, or "All>>" to add it to every group.


WHAT THE LIST SHOWS
-------------------

- Every different value of the column, in the order in which it first
  occurs going down your data file. The list is not sorted: values c, a,
  c, b are listed as c, a, b.
- Values are shown in a cleaned form: every character that is not a letter
  (of any script), a digit or "_" is replaced by "_". So a-b is listed as
  a_b and 3.5 as 3_5; a-b, a_b and "a b" in the file all count as the
  single type a_b. Letters of any script are kept, so two IPA labels that
  differ in one letter stay two types.
- NULL (an empty or missing cell) is an ordinary type here. Rows whose
  Subject or Vowel is NULL never belong to a group, whatever the
  constraints.
- The values of every row count, including rows left out of the analysis.

For the Subject category the types are the subjects: a constraint such as
"Subject : s01" makes a group of one speaker's tokens. For the Vowel
category they are your vowel labels.


SELECTING
---------

One type at a time can be selected. When you click another category, the
list is refilled with that category's types; if your previous position lies
beyond the end of the new list, the first type is selected.

If a value you expect is missing, check how it is written in the file:
blanks and punctuation inside a cell are turned into "_" when the file is
loaded (New York becomes New_York).
