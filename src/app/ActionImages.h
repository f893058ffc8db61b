#pragma once

class TImageList;

// Fills the main window's image list: 22 x 22 pictures of the actions, menus and buttons, by
// the indexes the actions name.
void FillActionImages(TImageList& aImages);
