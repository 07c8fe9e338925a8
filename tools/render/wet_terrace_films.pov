// povray: +W512 +H512 +A0.05 +AM2 +R3 -V
// Where rain stands on the terrace of wet_terrace.pov: the same stones,
// white where a film of water lies and black elsewhere, so the generator
// can give the films the dusk sky's light without lifting the stone.
#version 3.7;
#declare FilmMask = 1;
#include "wet_terrace.pov"
