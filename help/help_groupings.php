TARVIK3D HELP: CATEGORIES AND VOWEL GROUPS (STEP 3)
===================================================

In Step 3 you define the vowel groups whose overlap you want to measure. A
vowel group is a named set of tokens, chosen from your data by constraints
such as "Vowel : i" and "Stress : primary". The list "Categories:" is where
every constraint starts.


THE CATEGORIES LIST
-------------------

"Categories:" lists the columns of your file that hold labels rather than
numbers, in file order: usually Subject and Vowel, plus any further columns
such as stress, context or speaker group. A column whose first value is a
number is numeric and is not listed; missing values (NULL, an empty cell,
NA, NaN) are skipped when looking for that first value (see the help on
loading data). Click a category to see its values ("types") in "Category
types:" below it.

If a column you expected is missing, its first value that is not missing
reads as a number (for example 1 or 2.5). Change the labels in your file,
for example 1 to first, and load it again.


VOWEL GROUPS
------------

The list "Select a grouping to modify:" holds the groups, each shown as its
number and name. Two groups, "1 (change my name)" and "2 (change my name)",
exist from the start.

  Create new grouping        adds a group and makes it the current one
  Delete selected grouping   deletes the selected group after asking
  Change grouping name:      type a name and press Enter; the name is used
                             in the log, the overlap results and the plots

Click a group in the list to make it current: its constraints appear in the
list on the right, and ">>" and "<<" work on it. Each group gets its own
plot colour, line style and marker (changeable in Step 4).


HOW TO BUILD A GROUP
--------------------

1. Select the group in "Select a grouping to modify:".
2. Click a category in "Categories:", then a type in "Category types:".
3. Press ">>" to add "category : type" to the current group, or "All>>" to
   add it to every group.
4. Repeat for further constraints. See the help beside the constraint
   buttons for how several constraints combine.

Example: to compare /i/ in stressed and unstressed syllables, give group 1
"Vowel : i" and "Stress : primary", and group 2 "Vowel : i" and
"Stress : unstressed". Use "All>>" for the constraint the groups share.


WHAT HAPPENS ON "CONTINUE"
--------------------------

- Groups without any constraint are listed in "Continue and delete
  groups?". "Yes" deletes them; "No" returns to Step 3.
- Every group collects the tokens of all subjects that satisfy its
  constraints, with their normalized F2, F1 and (unless 2D only) duration.
  A group that matches no token stops the run with "Cannot continue":
  change its constraints or delete it.
- For every group the program finds the principal axes of its tokens and
  fits an ellipse in the F2 x F1 plane and, with durations, an ellipsoid in
  F2 x F1 x duration. The semi-axes are two standard deviations of the
  tokens along each principal axis.
- The groups are summarised in the activity log, the group menus of Step 4
  are filled and Step 4 (overlap and plot) becomes active.

Overlaps need two groups. To change groups later, press the Step 3 button
in Step 4 and "Continue" again: groups and fits are rebuilt;
press the overlap buttons again for new overlap values. In Step 4, a
"calculate all group overlaps" run ends with the Results window: a table of
every calculated pair with its overlap and measures, to sort, copy and
export; "Show results table" opens it again.
