// SPDX-License-Identifier: MIT
// The node driver draws its screenshots with the font in fonts/ beside it.
Module['preRun'] = [function () { ENV['HVEZDA_FONTS'] = require('path').join(__dirname, 'fonts'); }];
