-- The report catalogue: folders ('F') and reports, with each report's parameter text and its
-- file under the program's folder (the program ships the files in Rapoarte/).
INSERT INTO Rapoarte (IdRaport, DenRaport, IdParinte, TipRaport, Parametrii, Locatie) VALUES
(1, 'Rapoarte Velmora', NULL, 'F', '', ''),
(2, 'Spital', 1, 'F', '', ''),
(3, 'Cheltuieli spital pe perioada', 2, 'R', 'IdJudet,,MyCombo;IdPerioada,,MyCombo;', 'Rapoarte/CostSpital.vrpt'),
(4, 'Sectii', 1, 'F', '', ''),
(5, 'Cheltuieli sectii pe perioada', 4, 'R', 'IdPerioada,,MyCombo;', 'Rapoarte/CostSectii.vrpt'),
(6, 'Centralizator pe interval', 2, 'R', 'Data inceput,,ControlPersonal|Data;Data sfarsit,,ControlPersonal|Data;', 'Rapoarte/Centralizator.vrpt'),
(7, 'Control spital / suma sectii', 2, 'R', 'IdPerioada,,MyCombo;', 'Rapoarte/ControlSpitalSectii.vrpt'),
(8, 'Personal (numar angajati)', 4, 'R', 'IdPerioada,,MyCombo;', 'Rapoarte/Personal.vrpt');
