TARVIK3D HELP: GROUPING CONSTRAINTS
===================================

The buttons beside "Modify grouping constraints:" edit the constraints of
vowel groups. A constraint reads "category : type", for example
"Vowel : i", and the list on the right shows the constraints of the current
group (the one selected in "Select a grouping to modify:").


THE BUTTONS
-----------

  Add to:  >>     adds the selected category and type to the current group
  Add to:  All>>  adds them to every group
  Delete:  <<     deletes the constraints selected in the list on the right

Before adding, select a category in "Categories:" and a type in "Category
types:". A constraint a group already has is not added twice: ">>" answers
"Cannot Add Constraint", and "All>>" adds the constraint to the other groups
and shows one warning for each group that already had it.

To delete, select one or more entries in the constraint list (hold Ctrl or
Shift to select several) and press "<<". If the list is empty or nothing is
selected, you are told so and nothing changes.


HOW CONSTRAINTS COMBINE
-----------------------

A token belongs to a group when, for every category named in the group's
constraints, its value is one of the types listed for that category:

- Types of the SAME category are alternatives (or):
      Vowel : i
      Vowel : e
  selects every token whose vowel is i or e.

- DIFFERENT categories must all hold (and):
      Vowel : i
      Vowel : e
      Stress : primary
  selects the tokens whose vowel is i or e and whose stress is primary.

- A category with no constraint does not restrict the group: a group with
  only "Vowel : i" takes the i tokens of all subjects, stressed or not. Add
  "Subject : ..." constraints to limit a group to some speakers.

The tokens are taken from all subjects together, with the values
normalized in Step 2.


GOOD TO KNOW
------------

- A group without constraints is deleted (after asking) when you press
  "Continue"; a group whose constraints match no token stops the run with
  "Cannot continue".
- Editing constraints after Step 4 has been reached takes effect only when
  you go back with the Step 3 button and press "Continue" again.
- Use "All>>" for what all groups share (for example "Stress : primary")
  and ">>" for what tells them apart (the vowel).
