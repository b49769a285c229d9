#pragma once
// Registers GIF images with the platform's picture holder: files with the
// extension ".gif" and clipboard data of the format "GIF Image" load as
// TGIFImage, and GIF images draw, animate and import other pictures.  The
// program calls it once at start; calling it again does nothing.

void RegisterGIFImage();
// Takes the registrations back (GIF images then no longer draw).
void UnregisterGIFImage();
