#pragma once

class TNoteStore;

// Puts the text of every note still edited in place into the table, so that
// an exit keeps what was typed since F2 instead of dropping it as Escape
// would. The windows stay as they are; the exit's write takes the texts to
// the file.
void KeepTextsBeingEdited(TNoteStore& store);
