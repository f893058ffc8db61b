#pragma once

#include <QList>

class TImageList;

// Fills the main window's image list: 22 x 22 pictures of the actions, menus and buttons, by
// the indexes the actions name.
void FillActionImages(TImageList& aImages);

// Fills the script window's own list: open, save, run, help, stop, record, clear.
void FillScriptImages(TImageList& aImages);

class TCustomKoActionList;

// The managers' actions carry no picture of their own; those the button bar shows get one here,
// and every list without an image list uses aImages.
void GivePictures(const QList<TCustomKoActionList*>& aLists, TImageList* aImages);
