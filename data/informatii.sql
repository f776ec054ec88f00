-- Information items.
INSERT INTO Nom_Informatii (IdInformatie, CodInformatie, DenInformatie) VALUES (1, 'INF01', 'Numar de paturi');
INSERT INTO Nom_Informatii (IdInformatie, CodInformatie, DenInformatie) VALUES (2, 'INF02', 'Numar de internari');
INSERT INTO Nom_Informatii (IdInformatie, CodInformatie, DenInformatie) VALUES (3, 'INF03', 'Zile de spitalizare');
INSERT INTO Nom_Informatii (IdInformatie, CodInformatie, DenInformatie) VALUES (4, 'INF04', 'Numar de consultatii ambulatorii');
INSERT INTO Nom_Informatii (IdInformatie, CodInformatie, DenInformatie) VALUES (5, 'INF05', 'Suprafata construita (mp)');
